#include "app/CMainFrame.h"

#include "app/AppResources.h"
#include "app/CWelmoDoc.h"
#include "app/CWelmoView.h"
#include "core/AnalysisState.h"
#include "platform/MessageBox.h"
#include "platform/WaitCursor.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QPrinter>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>
#include <QUrl>

namespace {
const QString recentFileGroup = QStringLiteral("Recent File List");
const QString frameGroup = QStringLiteral("Settings");
} // namespace

CMainFrame::CMainFrame(AnalysisState& state, QWidget* parent)
    : QMainWindow(parent)
    , m_state(state)
    , m_document(new CWelmoDoc(this))
    , m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
    initAppResources();
    m_view = new CWelmoView(*m_document, m_state, this);
    setCentralWidget(m_view);
    setAcceptDrops(true);
    connect(m_document, &CWelmoDoc::titleChanged, this, &CMainFrame::updateCaption);

    createActions();
    createMenus();
    createToolBars();
    createStatusBar();
    createFollow();
    readSettings();
    updateCaption();
}

CMainFrame::~CMainFrame() = default;

void CMainFrame::updateCaption()
{
    setWindowTitle(m_document->title() + QStringLiteral(" - Welmo"));
}

void CMainFrame::readSettings()
{
    QSettings settings;
    settings.beginGroup(recentFileGroup);
    for (int i = 1; i <= recentFileCount; ++i) {
        const QString file = settings.value(QStringLiteral("File%1").arg(i)).toString();
        if (!file.isEmpty() && !m_recentFiles.contains(file))
            m_recentFiles.append(file);
    }
    settings.endGroup();

    settings.beginGroup(frameGroup);
    const QByteArray geometry = settings.value(QStringLiteral("geometry")).toByteArray();
    if (geometry.isEmpty() || !restoreGeometry(geometry))
        resize(800, 600);
    restoreState(settings.value(QStringLiteral("windowState")).toByteArray());
    settings.endGroup();
}

void CMainFrame::writeSettings() const
{
    QSettings settings;
    settings.beginGroup(frameGroup);
    settings.setValue(QStringLiteral("geometry"), saveGeometry());
    settings.setValue(QStringLiteral("windowState"), saveState());
    settings.endGroup();
}

void CMainFrame::addRecentFile(const QString& pathName)
{
    const QString absolute = QFileInfo(pathName).absoluteFilePath();
    m_recentFiles.removeAll(absolute);
    m_recentFiles.prepend(absolute);
    while (m_recentFiles.size() > recentFileCount)
        m_recentFiles.removeLast();

    // Written at once, so that the list survives however the program ends.
    QSettings settings;
    settings.beginGroup(recentFileGroup);
    for (int i = 1; i <= recentFileCount; ++i) {
        const QString key = QStringLiteral("File%1").arg(i);
        if (i <= m_recentFiles.size())
            settings.setValue(key, m_recentFiles.at(i - 1));
        else
            settings.remove(key);
    }
    settings.endGroup();
}

bool CMainFrame::openDocument(const QString& pathName)
{
    QFile file(pathName);
    if (QFileInfo(pathName).isDir() || !file.open(QIODevice::ReadOnly)) {
        showMessage("Failed to open document.");
        return false;
    }
    file.close();
    m_document->onOpenDocument(pathName);
    addRecentFile(pathName);
    m_view->update();
    return true;
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    // The document is never modified, so there is nothing to ask.
    writeSettings();
    event->accept();
}

void CMainFrame::message(const std::string& text)
{
    showMessage(text);
}

void CMainFrame::statusMessage(const std::string& text)
{
    statusBar()->showMessage(QString::fromStdString(text));
}

void CMainFrame::waitCursor()
{
    setWaitCursor();
}

void CMainFrame::arrowCursor()
{
    setArrowCursor();
}

void CMainFrame::invalidateWindow()
{
    updateReferenceActions();
    m_view->update();
}

void CMainFrame::showWholePicture()
{
    m_view->showWholePicture();
}

void CMainFrame::retrieveDataFrom(const QString& fileName)
{
    m_offeredDataFile = fileName.toStdString();
    whenIdle(&CMainFrame::OnRetrieveData);
    m_offeredDataFile.reset();
}

namespace {

// The one local file a drag carries, or an empty string.
QString droppedFile(const QMimeData* data)
{
    if (!data || !data->hasUrls() || data->urls().size() != 1)
        return {};
    const QUrl url = data->urls().front();
    return url.isLocalFile() ? url.toLocalFile() : QString();
}

} // namespace

void CMainFrame::dragEnterEvent(QDragEnterEvent* event)
{
    if (!droppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event)
{
    const QString fileName = droppedFile(event->mimeData());
    if (fileName.isEmpty())
        return;
    event->acceptProposedAction();
    // The data dialog runs after the drop has ended, so that the source of
    // the drag is not kept waiting while the user confirms the layout.
    QTimer::singleShot(0, this, [this, fileName] { retrieveDataFrom(fileName); });
}
