#include "app/CPsdConfigDlg.h"

#include "platform/MessageBox.h"
#include "support/DialogControls.h"

#include <QApplication>
#include <QCheckBox>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

// 4096 samples read with one segment and no shift: the main window has set
// the size and its maximum to (4096 - 0) / 2.
AnalysisState fourThousandSamples()
{
    AnalysisState state;
    state.sampleCount = 4096;
    state.psdSize = 2048;
    state.maxPsdSize = 2048;
    state.segmentCount = 1;
    state.dataShift = 0;
    state.lbFrequencies = 16;
    state.windowType = 1;
    state.dialogAccepted = 0;
    return state;
}

class PsdConfigDialog : public ::testing::Test, public DialogControls<CPsdConfigDlg> {
public:
    void SetUp() override
    {
        setMessageHook([this](const std::string& text) { m_messages.push_back(text); });
    }
    void TearDown() override { setMessageHook(nullptr); }

    void open() { m_dialog = std::make_unique<CPsdConfigDlg>(m_state); }

    AnalysisState m_state = fourThousandSamples();
    std::vector<std::string> m_messages;
};

TEST_F(PsdConfigDialog, OpensWithTheRecordAndTheDerivedRatio)
{
    m_state.windowType = 3;
    m_state.normalize = 0;
    open();
    EXPECT_EQ(m_dialog->windowTitle().toStdString(), "PSD configuration");
    EXPECT_EQ(text(1008), "4096");
    EXPECT_EQ(text(1009), "2048");
    EXPECT_EQ(text(1010), "2048");
    EXPECT_EQ(text(1011), "1");
    EXPECT_EQ(text(1012), "0");
    EXPECT_EQ(text(1022), "16");
    EXPECT_EQ(text(1021), "0.78125");
    EXPECT_TRUE(button(1020)->isChecked());
    EXPECT_FALSE(button(1018)->isChecked());
    EXPECT_FALSE(button(1015)->isChecked());
    EXPECT_TRUE(button(1014)->isChecked());
    EXPECT_FALSE(button(1014)->isEnabled());
    EXPECT_TRUE(button(1016)->isChecked());
    EXPECT_FALSE(button(1016)->isEnabled());
    EXPECT_TRUE(field(1008)->isReadOnly());
    EXPECT_TRUE(field(1009)->isReadOnly());
}

TEST_F(PsdConfigDialog, TabKeyFollowsTheTemplateOrder)
{
    open();
    std::string order;
    QWidget* widget = button(1);
    for (int i = 0; i < 19; ++i, widget = widget->nextInFocusChain())
        order += widget->objectName().toStdString().substr(
                     widget->objectName().startsWith('f') ? 5 : 6)
            + " ";
    EXPECT_EQ(order,
        "1 2 1008 1009 1010 1001 1006 1011 1012 1013 1014 1015 1016 1017 1018 1019 1020 1021 "
        "1022 ");
}

TEST_F(PsdConfigDialog, SizeButtonsDoubleAndHalveWithinTheirBounds)
{
    open();
    click(1001);
    EXPECT_EQ(text(1010), "2048") << "never above the maximum";
    for (const char* expected : { "1024", "512", "256" }) {
        click(1006);
        EXPECT_EQ(text(1010), expected);
    }
    EXPECT_EQ(text(1021), "0.78125") << "the buttons leave the low band alone";
    leave(1022);
    EXPECT_EQ(text(1021), "6.25");

    type(1010, "128");
    click(1006);
    EXPECT_EQ(text(1010), "64");
    click(1006);
    EXPECT_EQ(text(1010), "64");
    click(1001);
    EXPECT_EQ(text(1010), "128");
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(PsdConfigDialog, FloorOfSixtyFourIsLoweredToTheMaximumOnOk)
{
    m_state.sampleCount = 64;
    m_state.psdSize = 32;
    m_state.maxPsdSize = 32;
    m_state.lbFrequencies = 2;
    open();
    click(1006);
    EXPECT_EQ(text(1010), "64");
    click(1);
    EXPECT_EQ(m_state.psdSize, 32);
    EXPECT_EQ(m_state.dialogAccepted, 1);
}

TEST_F(PsdConfigDialog, AutoShiftSpreadsTheSegmentsOverTheSeries)
{
    struct Case {
        unsigned samples;
        const char* psdSize;
        const char* segments;
        const char* expectedShift;
    };
    const Case cases[] = {
        { 4096, "1024", "3", "682" }, // (4096 - 2048) / 3
        { 4096, "512", "2", "1024" }, // 1536 exceeds one segment of 1024
        { 4096, "1024", "1", "0" },
        { 1000, "1024", "2", "2048" }, // shorter than a segment: wraps, then capped
        { 2048, "1024", "4", "0" },
    };
    for (const Case& c : cases) {
        m_state.sampleCount = c.samples;
        open();
        type(1012, "77");
        type(1010, c.psdSize);
        type(1011, c.segments);
        click(1013);
        EXPECT_EQ(text(1012), c.expectedShift)
            << c.samples << " " << c.psdSize << " " << c.segments;
    }
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(PsdConfigDialog, LeavingShiftOrSegmentsFixesTheLargestSize)
{
    struct Case {
        const char* name;
        const char* psdSize;
        const char* segments;
        const char* shift;
        int left;
        const char* expectedSegments;
        const char* expectedShift;
        const char* expectedMax;
        const char* expectedSize;
    };
    const Case cases[] = {
        // R = 4096 - 1500 = 2596, largest power of two not above 1298
        { "shift", "2048", "2", "1500", 1012, "2", "1500", "1024", "1024" },
        { "segments", "2048", "2", "1500", 1011, "2", "1500", "1024", "1024" },
        { "smaller size kept", "256", "2", "1500", 1012, "2", "1500", "1024", "256" },
        { "room grows", "256", "1", "1500", 1012, "1", "1500", "2048", "256" },
        // R = 1: no segment of two samples fits, the previous sizes stay
        { "no room", "2048", "2", "4095", 1012, "2", "4095", "2048", "2048" },
        // R = 3 would allow only a size of 1, which OK refuses
        { "room for size 1 only", "2048", "2", "4093", 1012, "2", "4093", "2048", "2048" },
        // R < 0: the field just left goes back to what it held
        { "negative, shift back", "2048", "3", "3000", 1012, "3", "0", "2048", "2048" },
        { "negative, segments back", "2048", "3", "3000", 1011, "1", "3000", "2048", "2048" },
    };
    for (const Case& c : cases) {
        open();
        type(1010, c.psdSize);
        type(1011, c.segments);
        type(1012, c.shift);
        leave(c.left);
        EXPECT_EQ(text(1011), c.expectedSegments) << c.name;
        EXPECT_EQ(text(1012), c.expectedShift) << c.name;
        EXPECT_EQ(text(1009), c.expectedMax) << c.name;
        EXPECT_EQ(text(1010), c.expectedSize) << c.name;
    }
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(PsdConfigDialog, LowBandConvertsBetweenBinsAndPercent)
{
    open();
    type(1010, "1024");
    type(1022, "20");
    leave(1022);
    EXPECT_EQ(text(1021), "1.953125"); // 2000 / 1024
    type(1021, "10");
    leave(1021);
    EXPECT_EQ(text(1022), "102"); // 102.4 truncated
    type(1021, "0.0001");
    leave(1021);
    EXPECT_EQ(text(1022), "0");
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(PsdConfigDialog, OkRefusesAnInvalidFieldAndKeepsTheRecord)
{
    struct Case {
        int id;
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        { 1021, "60", "Please enter a number between 0.0001 and 50." },
        { 1010, "1000", "PSD size must be a power of two" },
        { 1010, "1", "PSD size must be a power of two" },
        { 1010, "-64", "PSD size must be a power of two" },
        { 1011, "0", "Please enter an integer between 1 and 10000." },
        { 1012, "-1", "Please enter an integer between 0 and 1000000." },
        { 1022, "1", "Please enter an integer between 2 and 1000000." },
    };
    for (const Case& c : cases) {
        m_messages.clear();
        open();
        type(1012, "10");
        type(c.id, c.text);
        click(1);
        ASSERT_EQ(m_messages.size(), 1u) << c.id << " " << c.text;
        EXPECT_EQ(m_messages[0], c.message);
        EXPECT_NE(m_dialog->result(), QDialog::Accepted);
        EXPECT_EQ(m_dialog->focusWidget(), field(c.id));
        EXPECT_EQ(m_state.dialogAccepted, 0);
        EXPECT_EQ(m_state.dataShift, 0);
    }
}

TEST_F(PsdConfigDialog, OkCopiesTheSettingsButNotTheFixedOnes)
{
    open();
    type(1010, "512");
    type(1011, "2");
    type(1012, "100");
    type(1022, "20");
    button(1020)->click();
    button(1015)->click();
    // Disabled for the user; set here only to show that OK ignores them.
    button(1014)->setChecked(false);
    button(1016)->setChecked(false);
    click(1);
    EXPECT_TRUE(m_messages.empty());
    EXPECT_EQ(m_dialog->result(), QDialog::Accepted);
    EXPECT_EQ(m_state.psdSize, 512);
    EXPECT_EQ(m_state.maxPsdSize, 2048);
    EXPECT_EQ(m_state.segmentCount, 2);
    EXPECT_EQ(m_state.dataShift, 100);
    EXPECT_EQ(m_state.lbFrequencies, 20);
    EXPECT_EQ(m_state.windowType, 3);
    EXPECT_EQ(m_state.normalize, 0);
    EXPECT_EQ(m_state.extractAverage, 1);
    EXPECT_EQ(m_state.logOutput, 1);
    EXPECT_EQ(m_state.dialogAccepted, 1);
}

TEST_F(PsdConfigDialog, CancelAfterEditsChangesNothing)
{
    open();
    type(1011, "2");
    type(1012, "1500");
    leave(1012);
    click(1006);
    button(1019)->click();
    type(1022, "30");
    click(2);
    EXPECT_EQ(m_dialog->result(), QDialog::Rejected);
    const AnalysisState before = fourThousandSamples();
    EXPECT_EQ(m_state.psdSize, before.psdSize);
    EXPECT_EQ(m_state.maxPsdSize, before.maxPsdSize);
    EXPECT_EQ(m_state.segmentCount, before.segmentCount);
    EXPECT_EQ(m_state.dataShift, before.dataShift);
    EXPECT_EQ(m_state.windowType, before.windowType);
    EXPECT_EQ(m_state.lbFrequencies, before.lbFrequencies);
    EXPECT_EQ(m_state.dialogAccepted, 0);
}

TEST_F(PsdConfigDialog, HandlerStopsAtAFieldThatDoesNotRead)
{
    struct Case {
        const char* name;
        int badField;
        const char* badText;
        std::function<void(PsdConfigDialog&)> act;
    };
    const Case cases[] = {
        { "minus", 1021, "abc", [](PsdConfigDialog& t) { t.click(1006); } },
        { "plus", 1022, "", [](PsdConfigDialog& t) { t.click(1001); } },
        { "auto", 1011, "0", [](PsdConfigDialog& t) { t.click(1013); } },
        { "leave shift", 1021, "99", [](PsdConfigDialog& t) { t.leave(1012); } },
        { "leave ratio", 1010, "1.5", [](PsdConfigDialog& t) { t.leave(1021); } },
    };
    for (const Case& c : cases) {
        m_messages.clear();
        open();
        type(1010, "1024");
        type(1011, "2");
        type(1012, "1500");
        type(1021, "10");
        type(c.badField, c.badText);
        c.act(*this);
        EXPECT_EQ(m_messages.size(), 1u) << c.name;
        EXPECT_EQ(text(c.badField), c.badText) << c.name;
        const char* unchanged[][2] = { { "1010", "1024" }, { "1012", "1500" }, { "1022", "16" } };
        for (const auto& [id, expected] : unchanged) {
            if (c.badField != std::stoi(id)) {
                EXPECT_EQ(text(std::stoi(id)), expected) << c.name;
            }
        }
        EXPECT_EQ(text(1009), "2048") << c.name;
    }
}

TEST_F(PsdConfigDialog, KeyboardDrivesTheHandlersAsTheFocusMoves)
{
    open();
    m_dialog->show();
    m_dialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_dialog.get()));
    field(1012)->setFocus();
    field(1012)->selectAll();
    QTest::keyClicks(field(1012), "1500");
    field(1011)->setFocus();
    field(1011)->selectAll();
    QTest::keyClicks(field(1011), "2");
    QTest::keyClick(field(1011), Qt::Key_Tab);
    EXPECT_EQ(text(1009), "1024");

    // Enter presses OK without leaving the field; a failing field is reported
    // once although the focus moving to it leaves another handler's field.
    field(1022)->setFocus();
    type(1021, "60");
    QTest::keyClick(field(1022), Qt::Key_Return);
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(m_messages[0], "Please enter a number between 0.0001 and 50.");
    EXPECT_EQ(QApplication::focusWidget(), field(1021));
    EXPECT_TRUE(m_dialog->isVisible());

    // Esc closes without a word about the field that is still wrong.
    QTest::keyClick(field(1021), Qt::Key_Escape);
    EXPECT_FALSE(m_dialog->isVisible());
    EXPECT_EQ(m_dialog->result(), QDialog::Rejected);
    EXPECT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(m_state.segmentCount, 1);
}

} // namespace
