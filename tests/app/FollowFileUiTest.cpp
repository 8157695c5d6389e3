#include "CommandWindowFixture.h"

#include <QAction>
#include <QSettings>
#include <QStatusBar>
#include <QTest>

#include <cstdio>
#include <unistd.h>

namespace {

std::string sawtoothRows(unsigned from, unsigned to)
{
    std::string text;
    for (unsigned i = from; i <= to; ++i)
        text += std::to_string(i) + ' ' + std::to_string(sawtoothSample(i)) + '\n';
    return text;
}

void append(const std::string& path, const std::string& bytes)
{
    std::FILE* file = std::fopen(path.c_str(), "ab");
    ASSERT_NE(file, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

class FollowWindow : public CommandWindow {
protected:
    void SetUp() override
    {
        CommandWindow::SetUp();
        // Looks a tenth of a second apart, so that the test need not wait.
        QSettings().setValue(QStringLiteral("Settings/followInterval"), 0.1);
        startWindow();
        m_file = m_exportDir.filePath(QStringLiteral("run.dat")).toStdString();
        append(m_file, "t x\n" + sawtoothRows(1, SAWTOOTH_ROWS));
        retrieve(m_file, "512");
        ASSERT_TRUE(m_messages.empty());
    }

    QAction* follow() const { return m_frame->commandAction(CommandIds::ID_FILE_FOLLOW); }
    QString statusText() const { return m_frame->statusBar()->currentMessage(); }

    std::string m_file;
};

} // namespace

TEST_F(FollowWindow, LooksAppendRowsUntilACommandEndsTheFollow)
{
    EXPECT_EQ(m_frame->followSeconds(), 0.1);
    follow()->trigger();
    ASSERT_TRUE(m_frame->following());
    EXPECT_TRUE(
        statusText().startsWith(QStringLiteral("Following run.dat: 512 rows, last change ")));
    append(m_file, sawtoothRows(513, 600) + "601");
    QTRY_COMPARE_WITH_TIMEOUT(m_state.sampleCount, 600u, 10000);
    EXPECT_TRUE(statusText().startsWith(QStringLiteral("Following run.dat: 600 rows")));
    EXPECT_EQ(m_state.psdValid, 1);
    for (unsigned i = 1; i <= 600; ++i)
        ASSERT_EQ(m_state.series[i], sawtoothSample(i)) << i;

    // Select Segment ends the follow before its dialog, Cancel or not.
    command(CommandIds::ID_SETTINGS_SELECT_SEGMENT,
        [](QWidget* dialog) { qobject_cast<QDialog*>(dialog)->reject(); });
    EXPECT_FALSE(m_frame->following());
    EXPECT_FALSE(follow()->isChecked());
    EXPECT_EQ(statusText(), CMainFrame::FOLLOW_STOPPED);
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(FollowWindow, AnEditedSeriesOrAShorterFileIsNoLongerFollowed)
{
    const struct {
        const char* name;
        std::function<void()> before; // before Follow File
        std::function<void()> after; // while following
        std::string message;
    } cases[] = {
        { "edited",
            [this] {
                command(CommandIds::ID_SETTINGS_SELECT_SEGMENT, [](QWidget* dialog) {
                    type(dialog, { { 1034, "1" }, { 1035, "100" } });
                    button(dialog, 1)->click();
                });
            },
            {}, "Cannot follow %s: its last lines are not the rows read" },
        { "shorter", {}, [this] { ASSERT_EQ(::truncate(m_file.c_str(), 100), 0); },
            "%s became shorter: the follow stops" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        m_messages.clear();
        retrieve(m_file, "512");
        if (c.before)
            c.before();
        follow()->trigger();
        if (c.after) {
            c.after();
            QTRY_VERIFY_WITH_TIMEOUT(!m_frame->following(), 10000);
        }
        std::string message = c.message;
        message.replace(message.find("%s"), 2, m_file);
        EXPECT_EQ(m_messages, std::vector<std::string> { message });
        EXPECT_FALSE(follow()->isChecked());
        // The next case reads the whole file again.
        std::fclose(std::fopen(m_file.c_str(), "wb"));
        append(m_file, "t x\n" + sawtoothRows(1, SAWTOOTH_ROWS));
    }
}
