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
    EXPECT_EQ(text(1024), "-0.25");
    EXPECT_EQ(text(1025), "0.333333333333333");
    EXPECT_EQ(text(1045), "-5");
    EXPECT_EQ(text(1048), "-12");
    EXPECT_EQ(text(1049), "0");
    EXPECT_EQ(text(1050), "0.5");
    EXPECT_TRUE(button(1043)->isChecked());
    EXPECT_FALSE(button(1042)->isChecked());
    EXPECT_TRUE(button(1044)->isChecked());
    EXPECT_TRUE(button(1046)->isChecked());
    EXPECT_TRUE(button(1047)->isChecked());
}

TEST_F(GraphicsDialog, OkCopiesAllElevenSettings)
{
    for (int id : { 1042, 1043, 1044, 1046, 1047 })
        button(id)->click();
    type(1045, "-3.5");
    type(1049, "2");
    type(1050, "0.75");
    type(1048, "-20");
    // A minimum above its maximum is accepted: the signal is drawn upside down.
    type(1024, "5");
    type(1025, "-5");
    m_state.dialogAccepted = 0;
    button(1)->click();
    EXPECT_TRUE(m_messages.empty());
    EXPECT_EQ(m_dialog->result(), QDialog::Accepted);
    const Settings expected { 0, 1, 0, 0, 0, -3.5, 2.0, 0.75, -20.0, -5.0, 5.0 };
    EXPECT_EQ(settingsOf(m_state), expected);
    EXPECT_EQ(m_state.dialogAccepted, 0);
}

TEST_F(GraphicsDialog, CancelLeavesTheRecord)
{
    button(1047)->click();
    type(1024, "7");
    button(2)->click();
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
        type(1050, c.text);
        button(1)->click();
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
    type(1045, "-2");
    type(1049, "high");
    button(1)->click();
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(m_messages[0], "Please enter a number.");
    EXPECT_TRUE(m_dialog->isVisible());
    EXPECT_EQ(m_dialog->focusWidget(), field(1049));
    EXPECT_EQ(settingsOf(m_state), m_before);
    button(2)->click();
    EXPECT_EQ(settingsOf(m_state), m_before);
}

TEST_F(GraphicsDialog, FieldsAreTakenInTheirExchangeOrder)
{
    // 1049 is taken before 1048, and 1025 before 1024, whatever the layout.
    struct Case {
        int first, second;
    };
    for (const Case c : { Case { 1049, 1048 }, Case { 1025, 1024 }, Case { 1045, 1025 } }) {
        m_messages.clear();
        type(c.first, "?");
        type(c.second, "?");
        button(1)->click();
        EXPECT_EQ(m_messages.size(), 1u);
        EXPECT_EQ(m_dialog->focusWidget(), field(c.first)) << c.first;
        type(c.first, "1");
        type(c.second, "1");
    }
    EXPECT_EQ(settingsOf(m_state), m_before);
}

} // namespace
