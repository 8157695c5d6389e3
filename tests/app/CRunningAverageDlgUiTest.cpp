#include "app/CRunningAverageDlg.h"

#include "platform/MessageBox.h"
#include "support/DialogControls.h"

#include <QAbstractButton>
#include <QLineEdit>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

AnalysisState seriesOf(const std::vector<float>& samples)
{
    AnalysisState state;
    allocateSeries(state, static_cast<unsigned>(samples.size()));
    state.sampleCount = static_cast<unsigned>(samples.size());
    state.isOriginal = 1;
    state.series[0] = 0.0f;
    for (std::size_t i = 0; i < samples.size(); ++i)
        state.series[i + 1] = samples[i];
    return state;
}

std::vector<float> samplesOf(const AnalysisState& state)
{
    std::vector<float> samples;
    for (unsigned i = 1; i <= state.sampleCount; ++i)
        samples.push_back(state.series[i]);
    return samples;
}

class RunningAverageDialog : public ::testing::Test {
public:
    void SetUp() override
    {
        setMessageHook([this](const std::string& text) { m_messages.push_back(text); });
    }
    void TearDown() override { setMessageHook(nullptr); }

    void open() { m_dialog = std::make_unique<CRunningAverageDlg>(); }
    QLineEdit* windowField() const
    {
        return m_dialog->findChild<QLineEdit*>(QStringLiteral("field1032"));
    }
    void click(int id)
    {
        m_dialog->findChild<QAbstractButton*>(QStringLiteral("button%1").arg(id))->click();
    }

    AnalysisState m_state = seriesOf({ 1, 3, 5, 7 });
    std::unique_ptr<CRunningAverageDlg> m_dialog;
    std::vector<std::string> m_messages;
};

TEST_F(RunningAverageDialog, OpensAtTwoPointsEveryTime)
{
    open();
    EXPECT_EQ(m_dialog->windowTitle().toStdString(), "Running Average");
    windowField()->setText(QStringLiteral("3"));
    click(IDOK);
    open();
    EXPECT_EQ(windowField()->text().toStdString(), "2");
}

// The command smooths; the dialog hands back the window it took.
TEST_F(RunningAverageDialog, OkHandsBackTheWindow)
{
    struct Case {
        const char* window;
        int expected;
    };
    const Case cases[] = { { "2", 2 }, { "3", 3 }, { "1000", 1000 } };
    for (const Case& c : cases) {
        open();
        windowField()->setText(QString::fromLatin1(c.window));
        click(IDOK);
        EXPECT_EQ(m_dialog->result(), QDialog::Accepted);
        EXPECT_EQ(m_dialog->window(), c.expected) << c.window;
        EXPECT_EQ(samplesOf(m_state), (std::vector<float> { 1, 3, 5, 7 }));
        EXPECT_EQ(m_state.isOriginal, 1);
    }
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(RunningAverageDialog, RefusedWindowLeavesTheSeriesAlone)
{
    struct Case {
        const char* window;
        const char* message;
    };
    const Case cases[] = {
        { "1", "Please enter an integer between 2 and 1000." },
        { "1001", "Please enter an integer between 2 and 1000." },
        { "-2", "Please enter an integer between 2 and 1000." },
        { "2.5", "Please enter an integer." },
        { "", "Please enter an integer." },
    };
    for (const Case& c : cases) {
        m_messages.clear();
        open();
        windowField()->setText(QString::fromLatin1(c.window));
        click(IDOK);
        EXPECT_EQ(m_messages, std::vector<std::string> { c.message });
        EXPECT_NE(m_dialog->result(), QDialog::Accepted);
        EXPECT_EQ(samplesOf(m_state), (std::vector<float> { 1, 3, 5, 7 }));
        EXPECT_EQ(m_state.isOriginal, 1);
    }
}

TEST_F(RunningAverageDialog, CancelChangesNothing)
{
    open();
    windowField()->setText(QStringLiteral("3"));
    click(IDCANCEL);
    EXPECT_EQ(m_dialog->result(), QDialog::Rejected);
    EXPECT_EQ(samplesOf(m_state), (std::vector<float> { 1, 3, 5, 7 }));
    EXPECT_EQ(m_state.isOriginal, 1);
}

} // namespace
