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
    EXPECT_EQ(text(CPsdConfigDlg::IDC_AVAILABLE_DATA), "4096");
    EXPECT_EQ(text(CPsdConfigDlg::IDC_MAX_PSD_SIZE), "2048");
    EXPECT_EQ(text(CPsdConfigDlg::IDC_PSD_SIZE), "2048");
    EXPECT_EQ(text(CPsdConfigDlg::IDC_SEGMENT_COUNT), "1");
    EXPECT_EQ(text(CPsdConfigDlg::IDC_DATA_SHIFT), "0");
    EXPECT_EQ(text(CPsdConfigDlg::IDC_LB_FREQUENCIES), "16");
    EXPECT_EQ(text(CPsdConfigDlg::IDC_LB_RATIO), "0.78125");
    EXPECT_TRUE(button(CPsdConfigDlg::IDC_FIRST_WINDOW + 3)->isChecked());
    EXPECT_FALSE(button(CPsdConfigDlg::IDC_FIRST_WINDOW + 1)->isChecked());
    EXPECT_FALSE(button(CPsdConfigDlg::IDC_NORMALIZE)->isChecked());
    EXPECT_TRUE(button(CPsdConfigDlg::IDC_EXTRACT_AVERAGE)->isChecked());
    EXPECT_FALSE(button(CPsdConfigDlg::IDC_EXTRACT_AVERAGE)->isEnabled());
    EXPECT_TRUE(button(CPsdConfigDlg::IDC_LOG_OUTPUT)->isChecked());
    EXPECT_FALSE(button(CPsdConfigDlg::IDC_LOG_OUTPUT)->isEnabled());
    EXPECT_TRUE(field(CPsdConfigDlg::IDC_AVAILABLE_DATA)->isReadOnly());
    EXPECT_TRUE(field(CPsdConfigDlg::IDC_MAX_PSD_SIZE)->isReadOnly());
}

TEST_F(PsdConfigDialog, TabKeyFollowsTheTemplateOrder)
{
    open();
    std::string order;
    QWidget* widget = button(IDOK);
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
    click(CPsdConfigDlg::IDC_PSD_SIZE_UP);
    EXPECT_EQ(text(CPsdConfigDlg::IDC_PSD_SIZE), "2048") << "never above the maximum";
    for (const char* expected : { "1024", "512", "256" }) {
        click(CPsdConfigDlg::IDC_PSD_SIZE_DOWN);
        EXPECT_EQ(text(CPsdConfigDlg::IDC_PSD_SIZE), expected);
    }
    EXPECT_EQ(text(CPsdConfigDlg::IDC_LB_RATIO), "0.78125")
        << "the buttons leave the low band alone";
    leave(CPsdConfigDlg::IDC_LB_FREQUENCIES);
    EXPECT_EQ(text(CPsdConfigDlg::IDC_LB_RATIO), "6.25");

    type(CPsdConfigDlg::IDC_PSD_SIZE, "128");
    click(CPsdConfigDlg::IDC_PSD_SIZE_DOWN);
    EXPECT_EQ(text(CPsdConfigDlg::IDC_PSD_SIZE), "64");
    click(CPsdConfigDlg::IDC_PSD_SIZE_DOWN);
    EXPECT_EQ(text(CPsdConfigDlg::IDC_PSD_SIZE), "64");
    click(CPsdConfigDlg::IDC_PSD_SIZE_UP);
    EXPECT_EQ(text(CPsdConfigDlg::IDC_PSD_SIZE), "128");
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(PsdConfigDialog, FloorOfSixtyFourIsLoweredToTheMaximumOnOk)
{
    m_state.sampleCount = 64;
    m_state.psdSize = 32;
    m_state.maxPsdSize = 32;
    m_state.lbFrequencies = 2;
    open();
    click(CPsdConfigDlg::IDC_PSD_SIZE_DOWN);
    EXPECT_EQ(text(CPsdConfigDlg::IDC_PSD_SIZE), "64");
    click(IDOK);
    EXPECT_EQ(m_dialog->choice().psdSize, 32);
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
        type(CPsdConfigDlg::IDC_DATA_SHIFT, "77");
        type(CPsdConfigDlg::IDC_PSD_SIZE, c.psdSize);
        type(CPsdConfigDlg::IDC_SEGMENT_COUNT, c.segments);
        click(CPsdConfigDlg::IDC_AUTO_SHIFT);
        EXPECT_EQ(text(CPsdConfigDlg::IDC_DATA_SHIFT), c.expectedShift)
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
        { "shift", "2048", "2", "1500", CPsdConfigDlg::IDC_DATA_SHIFT, "2", "1500", "1024",
            "1024" },
        { "segments", "2048", "2", "1500", CPsdConfigDlg::IDC_SEGMENT_COUNT, "2", "1500", "1024",
            "1024" },
        { "smaller size kept", "256", "2", "1500", CPsdConfigDlg::IDC_DATA_SHIFT, "2", "1500",
            "1024", "256" },
        { "room grows", "256", "1", "1500", CPsdConfigDlg::IDC_DATA_SHIFT, "1", "1500", "2048",
            "256" },
        // R = 1: no segment of two samples fits, the previous sizes stay
        { "no room", "2048", "2", "4095", CPsdConfigDlg::IDC_DATA_SHIFT, "2", "4095", "2048",
            "2048" },
        // R = 3 would allow only a size of 1, which OK refuses
        { "room for size 1 only", "2048", "2", "4093", CPsdConfigDlg::IDC_DATA_SHIFT, "2", "4093",
            "2048", "2048" },
        // R < 0: the field just left goes back to what it held
        { "negative, shift back", "2048", "3", "3000", CPsdConfigDlg::IDC_DATA_SHIFT, "3", "0",
            "2048", "2048" },
        { "negative, segments back", "2048", "3", "3000", CPsdConfigDlg::IDC_SEGMENT_COUNT, "1",
            "3000", "2048", "2048" },
    };
    for (const Case& c : cases) {
        open();
        type(CPsdConfigDlg::IDC_PSD_SIZE, c.psdSize);
        type(CPsdConfigDlg::IDC_SEGMENT_COUNT, c.segments);
        type(CPsdConfigDlg::IDC_DATA_SHIFT, c.shift);
        leave(c.left);
        EXPECT_EQ(text(CPsdConfigDlg::IDC_SEGMENT_COUNT), c.expectedSegments) << c.name;
        EXPECT_EQ(text(CPsdConfigDlg::IDC_DATA_SHIFT), c.expectedShift) << c.name;
        EXPECT_EQ(text(CPsdConfigDlg::IDC_MAX_PSD_SIZE), c.expectedMax) << c.name;
        EXPECT_EQ(text(CPsdConfigDlg::IDC_PSD_SIZE), c.expectedSize) << c.name;
    }
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(PsdConfigDialog, LowBandConvertsBetweenBinsAndPercent)
{
    open();
    type(CPsdConfigDlg::IDC_PSD_SIZE, "1024");
    type(CPsdConfigDlg::IDC_LB_FREQUENCIES, "20");
    leave(CPsdConfigDlg::IDC_LB_FREQUENCIES);
    EXPECT_EQ(text(CPsdConfigDlg::IDC_LB_RATIO), "1.953125"); // 2000 / 1024
    type(CPsdConfigDlg::IDC_LB_RATIO, "10");
    leave(CPsdConfigDlg::IDC_LB_RATIO);
    EXPECT_EQ(text(CPsdConfigDlg::IDC_LB_FREQUENCIES), "102"); // 102.4 truncated
    EXPECT_TRUE(m_dialog->note().isEmpty());
    // 0.1 of a bin: the ratio is put back rather than giving a count OK refuses.
    type(CPsdConfigDlg::IDC_LB_RATIO, "0.01");
    leave(CPsdConfigDlg::IDC_LB_RATIO);
    EXPECT_EQ(text(CPsdConfigDlg::IDC_LB_FREQUENCIES), "102");
    EXPECT_EQ(text(CPsdConfigDlg::IDC_LB_RATIO), "10");
    EXPECT_EQ(m_dialog->note().toStdString(),
        "LB ratio put back: 0.01 % of PSD size 1024 is not 2 to 1000000 LB frequencies.");
    type(CPsdConfigDlg::IDC_LB_FREQUENCIES, "600");
    leave(CPsdConfigDlg::IDC_LB_FREQUENCIES);
    EXPECT_EQ(text(CPsdConfigDlg::IDC_LB_FREQUENCIES), "102");
    EXPECT_EQ(m_dialog->note().toStdString(),
        "LB frequencies put back: 600 of PSD size 1024 is more than 50 %.");
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
        { CPsdConfigDlg::IDC_LB_RATIO, "60", "Please enter a number between 0.0001 and 50." },
        { CPsdConfigDlg::IDC_PSD_SIZE, "1000", "PSD size must be a power of two" },
        { CPsdConfigDlg::IDC_PSD_SIZE, "1", "PSD size must be a power of two" },
        { CPsdConfigDlg::IDC_PSD_SIZE, "-64", "PSD size must be a power of two" },
        { CPsdConfigDlg::IDC_SEGMENT_COUNT, "0", "Please enter an integer between 1 and 10000." },
        { CPsdConfigDlg::IDC_DATA_SHIFT, "-1", "Please enter an integer between 0 and 69306016." },
        { CPsdConfigDlg::IDC_LB_FREQUENCIES, "1",
            "Please enter an integer between 2 and 1000000." },
    };
    for (const Case& c : cases) {
        m_messages.clear();
        open();
        type(CPsdConfigDlg::IDC_DATA_SHIFT, "10");
        type(c.id, c.text);
        click(IDOK);
        ASSERT_EQ(m_messages.size(), 1u) << c.id << " " << c.text;
        EXPECT_EQ(m_messages[0], c.message);
        EXPECT_NE(m_dialog->result(), QDialog::Accepted);
        EXPECT_EQ(m_dialog->focusWidget(), field(c.id));
        EXPECT_TRUE(field(c.id)->property("failedField").toBool()) << c.id << " " << c.text;
        EXPECT_EQ(m_state.dialogAccepted, 0);
        EXPECT_EQ(m_state.dataShift, 0);
    }
}

TEST_F(PsdConfigDialog, OkHandsBackTheSettings)
{
    open();
    type(CPsdConfigDlg::IDC_PSD_SIZE, "512");
    type(CPsdConfigDlg::IDC_SEGMENT_COUNT, "2");
    type(CPsdConfigDlg::IDC_DATA_SHIFT, "100");
    type(CPsdConfigDlg::IDC_LB_FREQUENCIES, "20");
    button(CPsdConfigDlg::IDC_FIRST_WINDOW + 3)->click();
    button(CPsdConfigDlg::IDC_NORMALIZE)->click();
    click(IDOK);
    EXPECT_TRUE(m_messages.empty());
    EXPECT_EQ(m_dialog->result(), QDialog::Accepted);
    EXPECT_EQ(m_dialog->choice().psdSize, 512);
    EXPECT_EQ(m_dialog->choice().maxPsdSize, 2048);
    EXPECT_EQ(m_dialog->choice().segmentCount, 2);
    EXPECT_EQ(m_dialog->choice().dataShift, 100);
    EXPECT_EQ(m_dialog->choice().lbFrequencies, 20);
    EXPECT_EQ(m_dialog->choice().windowType, 3);
    EXPECT_EQ(m_dialog->choice().normalize, 0);
}

TEST_F(PsdConfigDialog, CancelAfterEditsChangesNothing)
{
    open();
    type(CPsdConfigDlg::IDC_SEGMENT_COUNT, "2");
    type(CPsdConfigDlg::IDC_DATA_SHIFT, "1500");
    leave(CPsdConfigDlg::IDC_DATA_SHIFT);
    click(CPsdConfigDlg::IDC_PSD_SIZE_DOWN);
    button(CPsdConfigDlg::IDC_FIRST_WINDOW + 2)->click();
    type(CPsdConfigDlg::IDC_LB_FREQUENCIES, "30");
    click(IDCANCEL);
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
        { "minus", 1021, "abc",
            [](PsdConfigDialog& t) { t.click(CPsdConfigDlg::IDC_PSD_SIZE_DOWN); } },
        { "plus", 1022, "", [](PsdConfigDialog& t) { t.click(CPsdConfigDlg::IDC_PSD_SIZE_UP); } },
        { "auto", 1011, "0", [](PsdConfigDialog& t) { t.click(CPsdConfigDlg::IDC_AUTO_SHIFT); } },
        { "leave shift", 1021, "99",
            [](PsdConfigDialog& t) { t.leave(CPsdConfigDlg::IDC_DATA_SHIFT); } },
        { "leave ratio", 1010, "1.5",
            [](PsdConfigDialog& t) { t.leave(CPsdConfigDlg::IDC_LB_RATIO); } },
    };
    for (const Case& c : cases) {
        m_messages.clear();
        open();
        type(CPsdConfigDlg::IDC_PSD_SIZE, "1024");
        type(CPsdConfigDlg::IDC_SEGMENT_COUNT, "2");
        type(CPsdConfigDlg::IDC_DATA_SHIFT, "1500");
        type(CPsdConfigDlg::IDC_LB_RATIO, "10");
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
        EXPECT_EQ(text(CPsdConfigDlg::IDC_MAX_PSD_SIZE), "2048") << c.name;
    }
}

TEST_F(PsdConfigDialog, KeyboardDrivesTheHandlersAsTheFocusMoves)
{
    open();
    m_dialog->show();
    m_dialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_dialog.get()));
    field(CPsdConfigDlg::IDC_DATA_SHIFT)->setFocus();
    field(CPsdConfigDlg::IDC_DATA_SHIFT)->selectAll();
    QTest::keyClicks(field(CPsdConfigDlg::IDC_DATA_SHIFT), "1500");
    field(CPsdConfigDlg::IDC_SEGMENT_COUNT)->setFocus();
    field(CPsdConfigDlg::IDC_SEGMENT_COUNT)->selectAll();
    QTest::keyClicks(field(CPsdConfigDlg::IDC_SEGMENT_COUNT), "2");
    QTest::keyClick(field(CPsdConfigDlg::IDC_SEGMENT_COUNT), Qt::Key_Tab);
    EXPECT_EQ(text(CPsdConfigDlg::IDC_MAX_PSD_SIZE), "1024");

    // Enter presses OK without leaving the field; a failing field is reported
    // once although the focus moving to it leaves another handler's field.
    field(CPsdConfigDlg::IDC_LB_FREQUENCIES)->setFocus();
    type(CPsdConfigDlg::IDC_LB_RATIO, "60");
    QTest::keyClick(field(CPsdConfigDlg::IDC_LB_FREQUENCIES), Qt::Key_Return);
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(m_messages[0], "Please enter a number between 0.0001 and 50.");
    EXPECT_EQ(QApplication::focusWidget(), field(CPsdConfigDlg::IDC_LB_RATIO));
    EXPECT_TRUE(m_dialog->isVisible());

    // Esc closes without a word about the field that is still wrong.
    QTest::keyClick(field(CPsdConfigDlg::IDC_LB_RATIO), Qt::Key_Escape);
    EXPECT_FALSE(m_dialog->isVisible());
    EXPECT_EQ(m_dialog->result(), QDialog::Rejected);
    EXPECT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(m_state.segmentCount, 1);
}

} // namespace

TEST_F(PsdConfigDialog, OpensWithValuesItsOwnChecksAccept)
{
    // What the main window leaves after a failed estimate or a shorter
    // series: no size fits K shifts, so size and maximum are 0.
    struct Case {
        const char* name;
        unsigned samples;
        int segments, shift, psdSize, maxPsdSize, lbFrequencies;
        const char* expectedSize;
        const char* expectedRatio;
    };
    const Case cases[] = {
        { "segment 101-300 of 8 x 30", 200, 8, 30, 0, 0, 16, "64", "25" },
        { "K-1 shifts still fit", 4096, 3, 1500, 0, 0, 16, "512", "3.125" },
        { "band wider than the size", 200, 8, 30, 0, 0, 500, "64", "50" },
        { "too few samples for any size", 3, 1, 0, 0, 0, 2, "2", "50" },
        { "LB 4 at M = 8388608", 16777216, 1, 0, 8388608, 8388608, 4, "8388608",
            "4.76837158203125e-05" },
    };
    for (const Case& c : cases) {
        m_messages.clear();
        m_state.sampleCount = c.samples;
        m_state.segmentCount = c.segments;
        m_state.dataShift = c.shift;
        m_state.psdSize = c.psdSize;
        m_state.maxPsdSize = c.maxPsdSize;
        m_state.lbFrequencies = c.lbFrequencies;
        open();
        EXPECT_EQ(text(CPsdConfigDlg::IDC_PSD_SIZE), c.expectedSize) << c.name;
        EXPECT_EQ(text(CPsdConfigDlg::IDC_MAX_PSD_SIZE), c.expectedSize) << c.name;
        EXPECT_EQ(text(CPsdConfigDlg::IDC_LB_RATIO), c.expectedRatio) << c.name;
        click(IDOK);
        EXPECT_TRUE(m_messages.empty())
            << c.name << ": " << (m_messages.empty() ? "" : m_messages[0]);
        EXPECT_EQ(m_dialog->result(), QDialog::Accepted) << c.name;
    }
}

TEST_F(PsdConfigDialog, ValuesItComputesPassItsChecksAtLargeSizes)
{
    m_state.sampleCount = 16777216;
    m_state.psdSize = 2097152;
    m_state.maxPsdSize = 8388608;
    open();
    type(CPsdConfigDlg::IDC_SEGMENT_COUNT, "4");
    click(CPsdConfigDlg::IDC_AUTO_SHIFT);
    EXPECT_EQ(text(CPsdConfigDlg::IDC_DATA_SHIFT), "3145728"); // (N - 2M) / 4
    click(IDOK);
    EXPECT_TRUE(m_messages.empty()) << (m_messages.empty() ? "" : m_messages[0]);
    EXPECT_EQ(m_dialog->result(), QDialog::Accepted);
}

TEST_F(PsdConfigDialog, AShiftPutBackSaysWhy)
{
    open();
    type(CPsdConfigDlg::IDC_SEGMENT_COUNT, "8");
    type(CPsdConfigDlg::IDC_DATA_SHIFT, "600");
    leave(CPsdConfigDlg::IDC_DATA_SHIFT);
    EXPECT_EQ(text(CPsdConfigDlg::IDC_DATA_SHIFT), "0");
    EXPECT_EQ(m_dialog->note().toStdString(),
        "Data shift put back: 8 segments 600 apart reach past the 4096 samples.");
    EXPECT_TRUE(m_messages.empty());
}
