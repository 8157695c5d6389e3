#pragma once

#include <QString>

#include <memory>

class CMainFrame;
struct AnalysisState;

// Start-up once the settings' names are set: creates the main window with
// its toolbar, status bar, document and view, opens `documentPath` as the
// document when it is not empty, resets the record, and only then shows
// the window, so that its first paint already sees the reset record. The
// document is then offered to Retrieve Data.
// Returns nullptr when the named document cannot be opened (the message
// has been shown).
std::unique_ptr<CMainFrame> startMainWindow(AnalysisState& state, const QString& documentPath);
