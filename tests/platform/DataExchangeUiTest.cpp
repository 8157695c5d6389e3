#include "platform/DataExchange.h"
#include "platform/MessageBox.h"
#include "platform/WelmoDialog.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A dialog with one field of every kind, exchanged in declaration order,
// and a lose-focus handler on three of them that takes every field.
class ExchangeDialog : public WelmoDialog {
public:
    ExchangeDialog()
    {
        auto* layout = new QVBoxLayout(this);
        for (int id = 1; id <= 6; ++id) {
            m_fields.push_back(createField(1000 + id));
            layout->addWidget(m_fields.back());
        }
        updateData(false);
    }
    QLineEdit* field(int i) const { return m_fields[static_cast<std::size_t>(i)]; }
    void watch(int i)
    {
        onFocusOut(field(i), [this, i] {
            m_left.push_back(i);
            updateData(true);
        });
    }

    int m_integer = 5;
    double m_number = 1.0;
    unsigned m_count = 7;
    double m_level = -15.0;
    std::string m_text = "old";
    int m_plain = 3;
    std::vector<int> m_left;

protected:
    void doDataExchange(DataExchange& exchange) override
    {
        exchange.integer(field(0), m_integer, 1, 100);
        exchange.number(field(1), m_number, 0.0001, 50.0);
        exchange.unsignedInteger(field(2), m_count, 0, 69306016);
        exchange.number(field(3), m_level, -30.0, 0.0);
        exchange.text(field(4), m_text);
        exchange.integer(field(5), m_plain);
    }

private:
    std::vector<QLineEdit*> m_fields;
};

class FieldExchange : public ::testing::Test {
public:
    void SetUp() override
    {
        setMessageHook([this](const std::string& text) { m_messages.push_back(text); });
    }
    void TearDown() override { setMessageHook(nullptr); }

    std::vector<std::string> m_messages;
};

TEST_F(FieldExchange, FirstFailureShowsItsMessageAndStopsTheSave)
{
    struct Case {
        int field;
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        { 0, "x", "Please enter an integer." },
        { 0, "0", "Please enter an integer between 1 and 100." },
        { 0, "101", "Please enter an integer between 1 and 100." },
        { 1, "-0", "Please enter a number." },
        { 1, "60", "Please enter a number between 0.0001 and 50." },
        { 1, "0.00009", "Please enter a number between 0.0001 and 50." },
        { 2, "-1", "Please enter a positive integer." },
        { 2, "69306017", "Please enter an integer between 0 and 69306016." },
        { 3, "1", "Please enter a number between -30 and 0." },
        { 3, "-30.5", "Please enter a number between -30 and 0." },
        { 5, "3.5", "Please enter an integer." },
    };
    for (const Case& c : cases) {
        m_messages.clear();
        ExchangeDialog dialog;
        // Every field gets a new valid value, then one of them an invalid one.
        const char* valid[] = { "9", "2.5", "11", "-1", "new", "4" };
        for (int i = 0; i < 6; ++i)
            dialog.field(i)->setText(QString::fromLatin1(valid[i]));
        dialog.field(c.field)->setText(QString::fromLatin1(c.text));

        EXPECT_FALSE(dialog.updateData(true));
        ASSERT_EQ(m_messages.size(), 1u) << c.text;
        EXPECT_EQ(m_messages[0], c.message);
        EXPECT_EQ(dialog.focusWidget(), dialog.field(c.field)) << c.text;
        EXPECT_EQ(dialog.field(c.field)->selectedText(), QString::fromLatin1(c.text));
        // Members before the failing field are taken, the rest keep theirs.
        EXPECT_EQ(dialog.m_integer, c.field > 0 ? 9 : 5) << c.text;
        EXPECT_EQ(dialog.m_number, c.field > 1 ? 2.5 : 1.0) << c.text;
        EXPECT_EQ(dialog.m_count, c.field > 2 ? 11u : 7u) << c.text;
        EXPECT_EQ(dialog.m_level, c.field > 3 ? -1.0 : -15.0) << c.text;
        EXPECT_EQ(dialog.m_text, c.field > 4 ? "new" : "old") << c.text;
        EXPECT_EQ(dialog.m_plain, 3) << c.text;
        // Only the failing field is marked, and only until it reads again.
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(dialog.field(i)->property("failedField").toBool(), i == c.field) << c.text;
        dialog.field(c.field)->setText(QString::fromLatin1(valid[c.field]));
        EXPECT_TRUE(dialog.updateData(true)) << c.text;
        EXPECT_FALSE(dialog.field(c.field)->property("failedField").toBool()) << c.text;
    }
}

TEST_F(FieldExchange, BoundsThemselvesAreAccepted)
{
    ExchangeDialog dialog;
    const char* texts[] = { "100", "0.0001", "69306016", "-30", "", "-2147483648" };
    for (int i = 0; i < 6; ++i)
        dialog.field(i)->setText(QString::fromLatin1(texts[i]));
    EXPECT_TRUE(dialog.updateData(true));
    EXPECT_TRUE(m_messages.empty());
    EXPECT_EQ(dialog.m_integer, 100);
    EXPECT_EQ(dialog.m_number, 0.0001);
    EXPECT_EQ(dialog.m_count, 69306016u);
    EXPECT_EQ(dialog.m_level, -30.0);
    EXPECT_EQ(dialog.m_text, "");
    EXPECT_EQ(dialog.m_plain, -2147483647 - 1);
}

// Real focus moves need a shown, active window.
class FocusOut : public FieldExchange {
public:
    void SetUp() override
    {
        FieldExchange::SetUp();
        m_dialog.show();
        m_dialog.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&m_dialog));
    }
    void focus(int i)
    {
        m_dialog.field(i)->setFocus(Qt::OtherFocusReason);
        ASSERT_TRUE(m_dialog.field(i)->hasFocus());
        m_dialog.m_left.clear();
    }

    ExchangeDialog m_dialog;
};

TEST_F(FocusOut, FiresWhenTheFocusLeavesNotOnEnter)
{
    m_dialog.watch(0);
    focus(0);
    QTest::keyClick(m_dialog.field(0), Qt::Key_Return);
    QTest::keyClick(m_dialog.field(0), Qt::Key_Enter);
    EXPECT_TRUE(m_dialog.m_left.empty());

    QTest::keyClick(m_dialog.field(0), Qt::Key_Tab);
    EXPECT_EQ(m_dialog.m_left, std::vector<int> { 0 });
    EXPECT_TRUE(m_dialog.field(1)->hasFocus());

    focus(0);
    QTest::mouseClick(m_dialog.field(3), Qt::LeftButton);
    EXPECT_EQ(m_dialog.m_left, std::vector<int> { 0 });
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(FocusOut, AFailingHandlerStartsNoOtherHandler)
{
    // Leaving field 0 takes all fields; field 2 fails and takes the focus
    // from field 1, which is watched too but was never left by the user.
    m_dialog.watch(0);
    m_dialog.watch(1);
    m_dialog.watch(2);
    m_dialog.field(2)->setText(QStringLiteral("-4"));
    focus(0);
    QTest::keyClick(m_dialog.field(0), Qt::Key_Tab);
    EXPECT_EQ(m_dialog.m_left, std::vector<int> { 0 });
    EXPECT_EQ(m_messages, std::vector<std::string> { "Please enter a positive integer." });
    EXPECT_TRUE(m_dialog.field(2)->hasFocus());
}

TEST_F(FocusOut, FocusTakenBackByAFailingSaveIsNoLeaving)
{
    m_dialog.watch(0);
    m_dialog.field(2)->setText(QStringLiteral("-4"));
    focus(0);
    EXPECT_FALSE(m_dialog.updateData(true));
    EXPECT_TRUE(m_dialog.m_left.empty());
    EXPECT_EQ(m_messages.size(), 1u);
    EXPECT_TRUE(m_dialog.field(2)->hasFocus());
}

TEST_F(FocusOut, ARealMessageBoxTakesTheFocusWithoutAnotherLeaving)
{
    // The box activates another window and the dialog gets the focus back
    // when it closes; neither is the user leaving a field.
    setMessageHook(nullptr);
    int boxes = 0;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&boxes] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            ++boxes;
            box->button(QMessageBox::Ok)->click();
        }
    });
    closer.start(10);
    m_dialog.watch(0);
    m_dialog.watch(1);
    m_dialog.watch(2);
    m_dialog.field(2)->setText(QStringLiteral("-4"));
    focus(0);
    QTest::keyClick(m_dialog.field(0), Qt::Key_Tab);
    closer.stop();
    EXPECT_EQ(boxes, 1);
    EXPECT_EQ(m_dialog.m_left, std::vector<int> { 0 });
    EXPECT_EQ(m_dialog.focusWidget(), m_dialog.field(2));
}

TEST_F(FocusOut, HidingTheDialogIsNoLeaving)
{
    m_dialog.watch(0);
    focus(0);
    m_dialog.hide();
    EXPECT_TRUE(m_dialog.m_left.empty());
}

} // namespace
