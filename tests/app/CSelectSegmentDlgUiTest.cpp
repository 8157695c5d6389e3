#include "app/CSelectSegmentDlg.h"

#include "platform/MessageBox.h"
#include "support/DialogControls.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// N = 1000 samples, sample i holding 0.5 * i.
AnalysisState thousandSamples()
{
    AnalysisState state;
    allocateSeries(state, 1000);
    state.sampleCount = 1000;
    state.isOriginal = 1;
    state.series[0] = 0.0f;
    for (unsigned i = 1; i <= 1000; ++i)
        state.series[i] = 0.5f * static_cast<float>(i);
    return state;
}

class SelectSegmentDialog : public ::testing::Test, public DialogControls<CSelectSegmentDlg> {
public:
    void SetUp() override
    {
        setMessageHook([this](const std::string& text) { m_messages.push_back(text); });
    }
    void TearDown() override { setMessageHook(nullptr); }

    void open() { m_dialog = std::make_unique<CSelectSegmentDlg>(m_state); }
    void expectSeriesUnchanged()
    {
        EXPECT_EQ(m_state.sampleCount, 1000u);
        EXPECT_EQ(m_state.isOriginal, 1);
        for (unsigned i = 1; i <= 1000; ++i)
            ASSERT_EQ(m_state.series[i], 0.5f * static_cast<float>(i)) << i;
    }

    AnalysisState m_state = thousandSamples();
    std::vector<std::string> m_messages;
};

TEST_F(SelectSegmentDialog, OpensOnTheWholeSeries)
{
    open();
    EXPECT_EQ(m_dialog->windowTitle().toStdString(), "Select Data Segment");
    EXPECT_EQ(text(CSelectSegmentDlg::IDC_FROM), "1");
    EXPECT_EQ(text(CSelectSegmentDlg::IDC_TO), "1000");
    EXPECT_EQ(text(CSelectSegmentDlg::IDC_SAMPLE_COUNT), "1000");
    EXPECT_TRUE(field(CSelectSegmentDlg::IDC_SAMPLE_COUNT)->isReadOnly());
    EXPECT_EQ(text(CSelectSegmentDlg::IDC_NEW_SIZE), "1000");

    std::string order;
    QWidget* widget = field(CSelectSegmentDlg::IDC_FROM);
    for (int i = 0; i < 5; ++i, widget = widget->nextInFocusChain())
        order += widget->objectName().toStdString() + " ";
    EXPECT_EQ(order, "field1034 field1035 field1036 button1 button2 ");
}

TEST_F(SelectSegmentDialog, LeavingAFieldKeepsSizeAndEndInStep)
{
    struct Case {
        const char* from;
        const char* to;
        const char* newSize;
        int left;
        const char* expectedTo;
        const char* expectedSize;
    };
    const Case cases[] = {
        { "101", "300", "1000", 1035, "300", "200" },
        { "101", "300", "1000", 1034, "300", "200" },
        { "101", "1000", "1000", 1034, "1000", "900" },
        { "101", "300", "50", 1036, "150", "50" },
        { "5", "4", "1000", 1035, "4", "0" },
        // Sums past the range of int stay at its end.
        { "-2147483648", "2147483647", "1", 1035, "2147483647", "2147483647" },
    };
    for (const Case& c : cases) {
        open();
        type(CSelectSegmentDlg::IDC_FROM, c.from);
        type(CSelectSegmentDlg::IDC_TO, c.to);
        type(CSelectSegmentDlg::IDC_NEW_SIZE, c.newSize);
        leave(c.left);
        EXPECT_EQ(text(CSelectSegmentDlg::IDC_FROM), c.from) << c.left;
        EXPECT_EQ(text(CSelectSegmentDlg::IDC_TO), c.expectedTo) << c.left;
        EXPECT_EQ(text(CSelectSegmentDlg::IDC_NEW_SIZE), c.expectedSize) << c.left;
    }
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(SelectSegmentDialog, AFieldThatDoesNotReadIsShownAgainWithItsHeldValue)
{
    open();
    type(CSelectSegmentDlg::IDC_FROM, "101");
    type(CSelectSegmentDlg::IDC_TO, "3x");
    type(CSelectSegmentDlg::IDC_NEW_SIZE, "20");
    leave(CSelectSegmentDlg::IDC_FROM);
    EXPECT_EQ(m_messages, std::vector<std::string> { "Please enter an integer." });
    EXPECT_EQ(text(CSelectSegmentDlg::IDC_FROM), "101");
    EXPECT_EQ(text(CSelectSegmentDlg::IDC_TO), "1000");
    EXPECT_EQ(text(CSelectSegmentDlg::IDC_NEW_SIZE), "1000")
        << "no size computed from a field that did not read";
}

// The command judges and cuts; the dialog hands back FROM and TO as they
// stand, a segment outside the series included.
TEST_F(SelectSegmentDialog, OkHandsBackFromAndTo)
{
    struct Case {
        const char* from;
        const char* to;
        int expectedFrom;
        int expectedTo;
    };
    const Case cases[] = {
        { "101", "300", 101, 300 },
        { "1", "1000", 1, 1000 },
        { "1000", "1000", 1000, 1000 },
        { "1", "1001", 1, 1001 },
        { "0", "10", 0, 10 },
        { "-5", "10", -5, 10 },
        { "11", "10", 11, 10 },
    };
    for (const Case& c : cases) {
        open();
        type(CSelectSegmentDlg::IDC_FROM, c.from);
        type(CSelectSegmentDlg::IDC_TO, c.to);
        type(CSelectSegmentDlg::IDC_NEW_SIZE, "3"); // never left: the typed size has no effect
        click(IDOK);
        EXPECT_TRUE(m_messages.empty());
        EXPECT_EQ(m_dialog->result(), QDialog::Accepted);
        EXPECT_EQ(m_dialog->segment().from, c.expectedFrom) << c.from << ".." << c.to;
        EXPECT_EQ(m_dialog->segment().to, c.expectedTo) << c.from << ".." << c.to;
        expectSeriesUnchanged();
    }
}

TEST_F(SelectSegmentDialog, EnterRightAfterTypingASizeCutsToTheEndShown)
{
    open();
    type(CSelectSegmentDlg::IDC_FROM, "101");
    leave(CSelectSegmentDlg::IDC_FROM);
    type(CSelectSegmentDlg::IDC_NEW_SIZE, "50");
    click(IDOK); // Enter: the focus never left New Size
    EXPECT_EQ(m_dialog->segment().from, 101);
    EXPECT_EQ(m_dialog->segment().to, 1000);
}

TEST_F(SelectSegmentDialog, CancelChangesNothing)
{
    open();
    type(CSelectSegmentDlg::IDC_FROM, "101");
    type(CSelectSegmentDlg::IDC_TO, "300");
    click(IDCANCEL);
    EXPECT_EQ(m_dialog->result(), QDialog::Rejected);
    EXPECT_TRUE(m_messages.empty());
    expectSeriesUnchanged();
}

TEST_F(SelectSegmentDialog, TypingAndTabbingAsAUserWould)
{
    open();
    m_dialog->show();
    m_dialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_dialog.get()));
    field(CSelectSegmentDlg::IDC_FROM)->setFocus();
    field(CSelectSegmentDlg::IDC_FROM)->selectAll();
    QTest::keyClicks(field(CSelectSegmentDlg::IDC_FROM), "101");
    QTest::keyClick(field(CSelectSegmentDlg::IDC_FROM), Qt::Key_Tab);
    EXPECT_EQ(text(CSelectSegmentDlg::IDC_NEW_SIZE), "900");
    field(CSelectSegmentDlg::IDC_TO)->selectAll();
    QTest::keyClicks(field(CSelectSegmentDlg::IDC_TO), "300");
    QTest::keyClick(field(CSelectSegmentDlg::IDC_TO), Qt::Key_Tab);
    EXPECT_EQ(text(CSelectSegmentDlg::IDC_NEW_SIZE), "200");
    QTest::keyClick(field(CSelectSegmentDlg::IDC_NEW_SIZE), Qt::Key_Return);
    EXPECT_FALSE(m_dialog->isVisible());
    EXPECT_EQ(m_dialog->result(), QDialog::Accepted);
    EXPECT_EQ(m_dialog->segment().from, 101);
    EXPECT_EQ(m_dialog->segment().to, 300);
    EXPECT_TRUE(m_messages.empty());
}

} // namespace
