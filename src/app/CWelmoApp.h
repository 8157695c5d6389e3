#pragma once

#include <QApplication>

#include <memory>

class CMainFrame;

// The application object: one per process, made in main before start-up.
class CWelmoApp : public QApplication {
    Q_OBJECT
public:
    CWelmoApp(int& argc, char** argv);
    ~CWelmoApp() override;

    // Start-up: the names the settings are kept under, then the main
    // window from the command line's document (if any). Returns false when
    // start-up fails and the program is to end.
    bool initInstance(const QString& documentPath);

    CMainFrame* mainFrame() const { return m_mainFrame.get(); }

private:
    std::unique_ptr<CMainFrame> m_mainFrame;
};
