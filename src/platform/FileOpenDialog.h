#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QWidget;

// What the program asks of the system's Open File dialog.
struct FileOpenRequest {
    std::string title;
    std::vector<std::string> filters; // "name (patterns)", in the order shown
    int selectedFilter = 0;
    bool existingFilesOnly = true;
    // A Save dialog: the file may be new and an existing one is confirmed.
    bool saving = false;
};

// The request of the data dialog's Browse: "Open Data File", data, text and
// all files, the first preselected, an existing file only.
FileOpenRequest dataFileRequest();

// Shows the Open File dialog owned by `parent`. Returns the full path of the
// file chosen, or nothing when the user cancelled.
std::optional<std::string> getOpenFileName(QWidget* parent, const FileOpenRequest& request);

// Test seam: when set, the hook answers instead of a dialog.
using FileOpenHook = std::function<std::optional<std::string>(const FileOpenRequest& request)>;
void setFileOpenHook(FileOpenHook hook);
