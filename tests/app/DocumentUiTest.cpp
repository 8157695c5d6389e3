#include "MainWindowFixture.h"

#include "app/CAboutDlg.h"
#include "app/CWelmoDoc.h"
#include "app/CommandIds.h"

#include <QAction>
#include <QDialog>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QToolBar>

using namespace CommandIds;

namespace {

QString writeFile(const QTemporaryDir& dir, const char* name, const QByteArray& contents)
{
    const QString path = dir.filePath(QString::fromLatin1(name));
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(contents);
    return QFileInfo(path).absoluteFilePath();
}

QByteArray contentsOf(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

} // namespace

class DocumentTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        ASSERT_TRUE(m_files.isValid());
        setFileOpenHook([this](const FileOpenRequest& request) -> std::optional<std::string> {
            m_requests.push_back(request);
            if (m_chosen.isEmpty())
                return std::nullopt;
            return m_chosen.toStdString();
        });
    }

    void pressKeys(const char* keys)
    {
        activate();
        QTest::keySequence(m_frame.get(), QKeySequence(QString::fromLatin1(keys)));
    }

    QTemporaryDir m_files;
    QString m_chosen; // empty: the user cancels
    std::vector<FileOpenRequest> m_requests;
};

TEST_F(DocumentTest, OpenChangesOnlyTheTitleAndSaveLeavesTheFile)
{
    startWindow();
    loadTone(m_state);
    const QByteArray contents("1 2 3\n4 5 6\n");
    m_chosen = writeFile(m_files, "other.dat", contents);
    const RecordImage before = recordImage(m_state);

    pressKeys("Ctrl+O");
    ASSERT_EQ(m_requests.size(), 1u);
    EXPECT_EQ(m_requests[0].title, "Open");
    EXPECT_EQ(m_requests[0].filters, std::vector<std::string> { "All Files (*)" });
    EXPECT_TRUE(m_requests[0].existingFilesOnly);
    EXPECT_EQ(m_frame->document().pathName(), m_chosen);
    EXPECT_EQ(m_frame->windowTitle().toStdString(), "other.dat - Welmo");
    EXPECT_EQ(m_frame->recentFiles(), QStringList { m_chosen });
    EXPECT_EQ(QSettings().value(QStringLiteral("Recent File List/File1")).toString(), m_chosen);
    // The view gives the document its title again at the next paint.
    waitForPaint(paints());
    EXPECT_EQ(m_frame->windowTitle().toStdString(), " ZQ_PSD test.dat - Welmo");

    pressKeys("Ctrl+S");
    QApplication::processEvents();
    EXPECT_EQ(contentsOf(m_chosen), contents);
    EXPECT_EQ(recordImage(m_state), before);
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(DocumentTest, OpenRefusesWhatCannotBeRead)
{
    struct Row {
        const char* name;
        QString path;
    };
    startWindow();
    const std::vector<Row> rows = {
        { "missing file", m_files.filePath(QStringLiteral("missing.dat")) },
        { "directory", m_files.path() },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        m_messages.clear();
        m_chosen = row.path;
        m_frame->commandAction(ID_FILE_OPEN)->trigger();
        EXPECT_EQ(m_messages, std::vector<std::string> { "Failed to open document." });
        EXPECT_TRUE(m_frame->recentFiles().isEmpty());
        EXPECT_TRUE(m_frame->document().pathName().isEmpty());
    }
    // Cancel in the file dialog: nothing at all.
    m_messages.clear();
    m_chosen.clear();
    m_frame->commandAction(ID_FILE_OPEN)->trigger();
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(DocumentTest, RecentFileListKeepsTheLastFourAcrossRuns)
{
    startWindow();
    QStringList opened;
    for (const char* name : { "a.dat", "b.dat", "c.dat", "d.dat", "e.dat" }) {
        m_chosen = writeFile(m_files, name, "1\n");
        opened.prepend(m_chosen);
        m_frame->commandAction(ID_FILE_OPEN)->trigger();
    }
    EXPECT_EQ(m_frame->recentFiles(), opened.mid(0, 4));

    // Opening one again moves it to the head without a duplicate.
    m_chosen = opened[2];
    m_frame->commandAction(ID_FILE_OPEN)->trigger();
    const QStringList expected = { opened[2], opened[0], opened[1], opened[3] };
    EXPECT_EQ(m_frame->recentFiles(), expected);

    m_frame->close();
    CMainFrame next(m_state);
    EXPECT_EQ(next.recentFiles(), expected);
}

TEST_F(DocumentTest, NewRenamesTheDocumentOnly)
{
    startWindow();
    loadTone(m_state);
    m_chosen = writeFile(m_files, "named.dat", "1\n");
    m_frame->commandAction(ID_FILE_OPEN)->trigger();
    const RecordImage before = recordImage(m_state);

    pressKeys("Ctrl+N");
    EXPECT_EQ(m_frame->document().title().toStdString(), "Untitled");
    EXPECT_TRUE(m_frame->document().pathName().isEmpty());
    waitForPaint(paints());
    EXPECT_EQ(m_frame->windowTitle().toStdString(), " ZQ_PSD test.dat - Welmo");
    EXPECT_EQ(recordImage(m_state), before);
}

TEST_F(DocumentTest, HidingAndShowingTheBarsKeepsTheRecord)
{
    struct Bar {
        int id;
        std::function<QWidget*()> widget;
    };
    startWindow();
    loadTone(m_state);
    const RecordImage before = recordImage(m_state);
    const std::vector<Bar> bars = {
        { ID_VIEW_TOOLBAR, [&] { return static_cast<QWidget*>(&m_frame->toolBar()); } },
        { ID_VIEW_STATUS_BAR, [&] { return static_cast<QWidget*>(m_frame->statusBar()); } },
    };
    for (const Bar& bar : bars) {
        SCOPED_TRACE(bar.id);
        QAction* toggle = m_frame->commandAction(bar.id);
        EXPECT_TRUE(toggle->isChecked());
        toggle->trigger();
        EXPECT_TRUE(bar.widget()->isHidden());
        EXPECT_FALSE(toggle->isChecked());
        toggle->trigger();
        EXPECT_FALSE(bar.widget()->isHidden());
        EXPECT_TRUE(toggle->isChecked());
    }
    EXPECT_EQ(recordImage(m_state), before);
}

TEST_F(DocumentTest, WindowGeometryIsKeptBetweenRuns)
{
    startWindow();
    m_frame->resize(640, 480);
    QApplication::processEvents();
    m_frame->close();

    CMainFrame next(m_state);
    EXPECT_EQ(next.size(), QSize(640, 480));
}

TEST_F(DocumentTest, AboutBoxShowsTheIconAndVersionAndClosesWithOk)
{
    startWindow();
    std::string title, version;
    bool hasIcon = false;
    const std::string dialog = runModal([&] { m_frame->commandAction(ID_APP_ABOUT)->trigger(); },
        [&](QWidget* modal) {
            title = modal->windowTitle().toStdString();
            version
                = modal->findChild<QLabel*>(QStringLiteral("aboutVersion"))->text().toStdString();
            const QLabel* icon = modal->findChild<QLabel*>(QStringLiteral("aboutIcon"));
            hasIcon = !icon->pixmap().isNull();
            QPushButton* ok = modal->findChild<QPushButton*>();
            EXPECT_TRUE(ok->isDefault());
            ok->click();
        });
    EXPECT_EQ(dialog, "CAboutDlg");
    EXPECT_EQ(title, "About Welmo");
    EXPECT_EQ(version, "Welmo Version 1.0");
    EXPECT_TRUE(hasIcon);
}
