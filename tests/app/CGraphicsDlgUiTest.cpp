#include "app/CGraphicsDlg.h"

#include "platform/MessageBox.h"
#include "support/DialogControls.h"

#include <QAbstractButton>
#include <QLineEdit>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// The eleven settings as one comparable value.
struct Settings {
    int autoScaleSignal, dottedSignal, logFrequency, colorLb, logPower;
    double minLogFrequency, maxLogPower, maxNormalPower, minLogPower, signalMax, signalMin;
    bool operator==(const Settings&) const = default;
};

Settings settingsOf(const AnalysisState& s)
{
    return { s.autoScaleSignal, s.dottedSignal, s.logFrequency, s.colorLb, s.logPower,
        s.minLogFrequency, s.maxLogPower, s.maxNormalPower, s.minLogPower, s.signalMax,
        s.signalMin };
}

class GraphicsDialog : public ::testing::Test, public DialogControls<CGraphicsDlg> {
protected:
    void SetUp() override
    {
        setMessageHook([this](const std::string& text) { m_messages.push_back(text); });
        m_state.signalMin = -0.25;
        m_state.signalMax = 1.0 / 3.0;
        m_before = settingsOf(m_state);
        m_dialog = std::make_unique<CGraphicsDlg>(m_state);
        m_dialog->show();
    }
    void TearDown() override { setMessageHook(nullptr); }

    AnalysisState m_state;
    Settings m_before {};
    std::vector<std::string> m_messages;
};

TEST_F(GraphicsDialog, ShowsTheRecordWithFifteenDigits)
{
    EXPECT_EQ(m_dialog->windowTitle().toStdString(), "Graphics");
    EXPECT_EQ(text(CGraphicsDlg::IDC_SIGNAL_MIN), "-0.25");
    EXPECT_EQ(text(CGraphicsDlg::IDC_SIGNAL_MAX), "0.333333333333333");
    EXPECT_EQ(text(CGraphicsDlg::IDC_MIN_LOG_FREQUENCY), "-5");
    EXPECT_EQ(text(CGraphicsDlg::IDC_MIN_LOG_POWER), "-12");
    EXPECT_EQ(text(CGraphicsDlg::IDC_MAX_LOG_POWER), "0");
    EXPECT_EQ(text(CGraphicsDlg::IDC_MAX_NORMAL_POWER), "0.5");
    EXPECT_TRUE(button(CGraphicsDlg::IDC_AUTO_SCALE_SIGNAL)->isChecked());
    EXPECT_FALSE(button(CGraphicsDlg::IDC_DOTTED_SIGNAL)->isChecked());
    EXPECT_TRUE(button(CGraphicsDlg::IDC_LOG_FREQUENCY)->isChecked());
    EXPECT_TRUE(button(CGraphicsDlg::IDC_COLOR_LB)->isChecked());
    EXPECT_TRUE(button(CGraphicsDlg::IDC_LOG_POWER)->isChecked());
}

TEST_F(GraphicsDialog, OkCopiesAllElevenSettings)
{
    for (int id : { CGraphicsDlg::IDC_DOTTED_SIGNAL, CGraphicsDlg::IDC_AUTO_SCALE_SIGNAL,
             CGraphicsDlg::IDC_LOG_FREQUENCY, CGraphicsDlg::IDC_COLOR_LB,
             CGraphicsDlg::IDC_LOG_POWER })
        button(id)->click();
    type(CGraphicsDlg::IDC_MIN_LOG_FREQUENCY, "-3.5");
    type(CGraphicsDlg::IDC_MAX_LOG_POWER, "2");
    type(CGraphicsDlg::IDC_MAX_NORMAL_POWER, "0.75");
    type(CGraphicsDlg::IDC_MIN_LOG_POWER, "-20");
    // A minimum above its maximum is accepted: the signal is drawn upside down.
    type(CGraphicsDlg::IDC_SIGNAL_MIN, "5");
    type(CGraphicsDlg::IDC_SIGNAL_MAX, "-5");
    m_state.dialogAccepted = 0;
    button(IDOK)->click();
    EXPECT_TRUE(m_messages.empty());
    EXPECT_EQ(m_dialog->result(), QDialog::Accepted);
    const Settings expected { 0, 1, 0, 0, 0, -3.5, 2.0, 0.75, -20.0, -5.0, 5.0 };
    EXPECT_EQ(settingsOf(m_state), expected);
    EXPECT_EQ(m_state.dialogAccepted, 0);
}

TEST_F(GraphicsDialog, CancelLeavesTheRecord)
{
    button(CGraphicsDlg::IDC_LOG_POWER)->click();
    type(CGraphicsDlg::IDC_SIGNAL_MIN, "7");
    button(IDCANCEL)->click();
    EXPECT_EQ(m_dialog->result(), QDialog::Rejected);
    EXPECT_EQ(settingsOf(m_state), m_before);
}

TEST_F(GraphicsDialog, ZeroMustBeWrittenWithALeadingDigit)
{
    struct Case {
        const char* text;
        bool accepted;
        double value;
    };
    const Case cases[] = {
        { "-0", false, 0 },
        { ".0", false, 0 },
        { "+0.0", false, 0 },
        { "0", true, 0.0 },
        { " \t0.5e1 ", true, 5.0 },
        { "5x", false, 0 },
    };
    for (const Case& c : cases) {
        m_messages.clear();
        m_state = AnalysisState();
        m_dialog = std::make_unique<CGraphicsDlg>(m_state);
        m_dialog->show();
        type(CGraphicsDlg::IDC_MAX_NORMAL_POWER, c.text);
        button(IDOK)->click();
        if (c.accepted) {
            EXPECT_TRUE(m_messages.empty()) << '"' << c.text << '"';
            EXPECT_EQ(m_state.maxNormalPower, c.value) << '"' << c.text << '"';
        } else {
            ASSERT_EQ(m_messages.size(), 1u) << '"' << c.text << '"';
            EXPECT_EQ(m_messages[0], "Please enter a number.");
            EXPECT_TRUE(m_dialog->isVisible());
            EXPECT_EQ(m_state.maxNormalPower, AnalysisState().maxNormalPower);
        }
    }
}

TEST_F(GraphicsDialog, FailedOkThenCancelLeavesTheRecord)
{
    type(CGraphicsDlg::IDC_MIN_LOG_FREQUENCY, "-2");
    type(CGraphicsDlg::IDC_MAX_LOG_POWER, "high");
    button(IDOK)->click();
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(m_messages[0], "Please enter a number.");
    EXPECT_TRUE(m_dialog->isVisible());
    EXPECT_EQ(m_dialog->focusWidget(), field(CGraphicsDlg::IDC_MAX_LOG_POWER));
    EXPECT_EQ(settingsOf(m_state), m_before);
    button(IDCANCEL)->click();
    EXPECT_EQ(settingsOf(m_state), m_before);
}

TEST_F(GraphicsDialog, FieldsAreTakenInTheirExchangeOrder)
{
    // The highest power is taken before the lowest, and the signal maximum
    // before its minimum, whatever the layout.
    struct Case {
        int first, second;
    };
    for (const Case c : { Case { CGraphicsDlg::IDC_MAX_LOG_POWER, CGraphicsDlg::IDC_MIN_LOG_POWER },
             Case { CGraphicsDlg::IDC_SIGNAL_MAX, CGraphicsDlg::IDC_SIGNAL_MIN },
             Case { CGraphicsDlg::IDC_MIN_LOG_FREQUENCY, CGraphicsDlg::IDC_SIGNAL_MAX } }) {
        m_messages.clear();
        type(c.first, "?");
        type(c.second, "?");
        button(IDOK)->click();
        EXPECT_EQ(m_messages.size(), 1u);
        EXPECT_EQ(m_dialog->focusWidget(), field(c.first)) << c.first;
        type(c.first, "1");
        type(c.second, "1");
    }
    EXPECT_EQ(settingsOf(m_state), m_before);
}

} // namespace
