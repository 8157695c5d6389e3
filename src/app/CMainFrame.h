#pragma once

#include "app/ProgressDisplay.h"
#include "commands/CommandHost.h"
#include "commands/Commands.h"
#include "core/Progress.h"

#include <QDateTime>
#include <QHash>
#include <QMainWindow>
#include <QStringList>

#include <memory>
#include <optional>
#include <string>
#include <string_view>

class CWelmoDoc;
class CWelmoView;
class QAction;
class QLabel;
class QPrinter;
class QStatusBar;
class QTimer;
class QToolBar;
struct AnalysisState;

// The main window: menus, toolbar, status bar, the one document and view,
// and the command handlers. It is the command sequences' window system.
class CMainFrame : public QMainWindow, public CommandHost {
    Q_OBJECT
public:
    explicit CMainFrame(AnalysisState& state, QWidget* parent = nullptr);
    ~CMainFrame() override;

    CWelmoDoc& document() { return *m_document; }
    CWelmoView& view() { return *m_view; }
    QToolBar& toolBar() { return *m_wndToolBar; }
    QPrinter& printer() { return *m_printer; }

    // The action that carries a command id, or nullptr.
    QAction* commandAction(int id) const { return m_actions.value(id, nullptr); }

    // Opens `pathName` as the document: checks that it can be read, takes
    // its title and puts it at the head of the recent-file list; nothing is
    // read from it. Reports a file that cannot be opened and returns false.
    bool openDocument(const QString& pathName);
    QStringList recentFiles() const { return m_recentFiles; }

    // CommandHost
    std::optional<TimeSeriesChoice> runTimeSeriesDialog() override;
    std::optional<PsdChoice> runPsdConfigDialog() override;
    std::optional<SegmentChoice> runSelectSegmentDialog() override;
    std::optional<int> runRunningAverageDialog() override;
    std::optional<ExportChoice> runExportPsdDialog() override;
    void message(const std::string& text) override;
    void statusMessage(const std::string& text) override;
    void waitCursor() override;
    void arrowCursor() override;
    void invalidateWindow() override;
    void showWholePicture() override;
    bool progress(std::string_view step, double fraction) override;
    void cancelled() override;

    // Retrieve Data with `fileName` filled in the data dialog (a file given
    // on the command line or dropped on the window); the user still
    // confirms the layout.
    void retrieveDataFrom(const QString& fileName);
    ProgressDisplay& progressDisplay() { return *m_progress; }

    // Command handlers
    void OnRetrieveData();
    void OnPsdConfiguration();
    void OnExportPsd();
    void OnExportPicture();
    void OnGraphics();
    void OnEditorCommand();
    void OnGetOriginalData();
    void OnSelectSegment();
    void OnRunningAverage();
    void OnEditDataFile();
    void OnEditPsdFile();
    void OnRefreshScreen();
    void OnLowerLb();
    void OnHigherLb();
    void OnFileNew();
    void OnFileOpen();
    void OnFileSave();
    void OnFilePrint();
    void OnFilePrintDirect();
    void OnFilePrintPreview();
    void OnFilePrintSetup();
    void OnAppAbout();
    void OnAppExit();
    void OnViewToolbar();
    void OnViewStatusBar();
    void OnViewAxes();
    void OnViewZoomOut();
    void OnViewFitSpectrum();
    void OnKeepReference();
    void OnClearReferences();
    void OnExportReferences();
    void OnFollowFile();
    void OnFollowInterval();

    // Follow File: on while its timer runs.
    bool following() const;
    double followSeconds() const { return m_followSeconds; }

    static constexpr int recentFileCount = 4;
    // The status bar's word for a follow that ended.
    static inline const QString FOLLOW_STOPPED = QStringLiteral("Follow File stopped");

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createActions();
    void createMenus();
    void createToolBars();
    void createStatusBar();
    void readSettings();
    void writeSettings() const;

    void addRecentFile(const QString& pathName);
    void updateCaption();
    void showIdleText(const QString& message);
    void editFile(const std::string& fileName);
    // Keep as Reference needs a spectrum, Clear References a reference.
    void updateReferenceActions();
    // Runs a handler unless a command that changes the record runs: every
    // action and every file offered comes through here, so that nothing a
    // timer or a nested event loop starts meanwhile runs.
    void whenIdle(void (CMainFrame::*handler)());
    // Runs a sequence that changes the record. Meanwhile the view repeats
    // its last complete picture.
    CommandOutcome runRecordCommand(CommandOutcome (*sequence)(AnalysisState&, CommandHost&));

    void createFollow();
    void startFollow();
    // Ends the follow with `why` in the status bar; nothing when it is off.
    void stopFollow(const QString& why);
    void followLook();
    void showFollowText();

    AnalysisState& m_state;
    CWelmoDoc* m_document = nullptr;
    CWelmoView* m_view = nullptr;
    QStatusBar* m_wndStatusBar = nullptr;
    QToolBar* m_wndToolBar = nullptr;
    std::unique_ptr<QPrinter> m_printer;
    QHash<int, QAction*> m_actions;
    QStringList m_recentFiles;
    ProgressDisplay* m_progress = nullptr;
    QLabel* m_readout = nullptr;
    std::optional<std::string> m_offeredDataFile;
    bool m_recordCommandRunning = false;
    QTimer* m_followTimer = nullptr;
    double m_followSeconds = 2.0;
    QString m_followText; // the idle text while following
    QDateTime m_followChange;
};
