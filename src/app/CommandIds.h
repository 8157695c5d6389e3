#pragma once

// Command identifiers of the menu, the toolbar and the accelerators. The
// standard commands (New, Open, Print, ...) have the customary values of
// such commands.
namespace CommandIds {
inline constexpr int ID_TOOLBAR_RETRIEVE = 32772;
inline constexpr int ID_TOOLBAR_PSD_CONFIG = 32773;
inline constexpr int ID_FILE_RETRIEVE_DATA = 32775;
inline constexpr int ID_FILE_EXPORT_PSD = 32776;
inline constexpr int ID_SETTINGS_PSD_CONFIG = 32777;
inline constexpr int ID_SETTINGS_GRAPHICS = 32778;
inline constexpr int ID_SETTINGS_EDITOR_COMMAND = 32779;
inline constexpr int ID_SETTINGS_ORIGINAL_DATA = 32780;
inline constexpr int ID_SETTINGS_SELECT_SEGMENT = 32781;
inline constexpr int ID_SETTINGS_RUNNING_AVERAGE = 32783;
inline constexpr int ID_VIEW_EDIT_DATA_FILE = 32784;
inline constexpr int ID_VIEW_EDIT_PSD_FILE = 32785;
inline constexpr int ID_VIEW_REFRESH_SCREEN = 32786;
inline constexpr int ID_TOOLBAR_REDRAW = 32788;
inline constexpr int ID_TOOLBAR_LOWER_LB = 32789;
inline constexpr int ID_TOOLBAR_HIGHER_LB = 32790;
inline constexpr int ID_FILE_EXPORT_PICTURE = 32791;
inline constexpr int ID_VIEW_AXES = 32792;
inline constexpr int ID_VIEW_ZOOM_OUT = 32793;
inline constexpr int ID_VIEW_FIT_SPECTRUM = 32794;
inline constexpr int ID_VIEW_KEEP_REFERENCE = 32810;
inline constexpr int ID_VIEW_CLEAR_REFERENCES = 32811;
inline constexpr int ID_FILE_EXPORT_REFERENCES = 32812;
inline constexpr int ID_FILE_FOLLOW = 32800;
inline constexpr int ID_SETTINGS_FOLLOW_INTERVAL = 32801;

inline constexpr int ID_FILE_NEW = 57600;
inline constexpr int ID_FILE_OPEN = 57601;
inline constexpr int ID_FILE_SAVE = 57603;
inline constexpr int ID_FILE_PRINT_SETUP = 57606;
inline constexpr int ID_FILE_PRINT = 57607;
inline constexpr int ID_FILE_PRINT_DIRECT = 57608;
inline constexpr int ID_FILE_PRINT_PREVIEW = 57609;
inline constexpr int ID_EDIT_COPY = 57634;
inline constexpr int ID_EDIT_CUT = 57635;
inline constexpr int ID_EDIT_PASTE = 57637;
inline constexpr int ID_EDIT_UNDO = 57643;
inline constexpr int ID_APP_ABOUT = 57664;
inline constexpr int ID_APP_EXIT = 57665;
inline constexpr int ID_NEXT_PANE = 57680;
inline constexpr int ID_PREV_PANE = 57681;
inline constexpr int ID_VIEW_TOOLBAR = 59392;
inline constexpr int ID_VIEW_STATUS_BAR = 59393;

} // namespace CommandIds
