#include "app/CWelmoApp.h"

#include "core/Version.h"

#include "app/AppResources.h"
#include "app/CMainFrame.h"
#include "app/StartUp.h"
#include "core/AnalysisState.h"

#include <QIcon>

CWelmoApp::CWelmoApp(int& argc, char** argv)
    : QApplication(argc, argv)
{
    initAppResources();
}

CWelmoApp::~CWelmoApp() = default;

bool CWelmoApp::initInstance(const QString& documentPath)
{
    // The recent-file list and the window geometry live under these names.
    setOrganizationName(QStringLiteral("Local AppWizard-Generated Applications"));
    setApplicationName(QStringLiteral("Welmo"));
    setApplicationVersion(QString::fromLatin1(WELMO_VERSION));
    setWindowIcon(QIcon(QStringLiteral(":/icons/welmo.svg")));

    m_mainFrame = startMainWindow(analysisState(), documentPath);
    return m_mainFrame != nullptr;
}
