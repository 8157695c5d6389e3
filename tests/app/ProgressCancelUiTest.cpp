#include "app/ProgressDisplay.h"
#include "core/Progress.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <functional>

namespace {

// A window with a field, a button, a shortcut and the progress display, on
// a clock the test moves.
class ProgressCancel : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto* central = new QWidget(&m_window);
        auto* layout = new QVBoxLayout(central);
        m_field = new QLineEdit(central);
        m_button = new QPushButton(QStringLiteral("Other"), central);
        layout->addWidget(m_field);
        layout->addWidget(m_button);
        m_window.setCentralWidget(central);
        m_action = new QAction(QStringLiteral("Command"), &m_window);
        m_action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
        m_window.addAction(m_action);
        m_display = new ProgressDisplay(m_window.statusBar());
        m_display->setClock([this] { return m_now; });
        m_window.show();
        QApplication::setActiveWindow(&m_window);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_window));
        QObject::connect(m_button, &QPushButton::clicked, [this] { ++m_buttonClicks; });
        QObject::connect(m_action, &QAction::triggered, [this] { ++m_commands; });
    }

    // One report a little later than the last, so that events are seen.
    bool reportLater(double fraction)
    {
        m_now += ProgressDisplay::SHOW_AFTER_MS;
        return m_display->report(PROGRESS_ESTIMATE, fraction);
    }

    QMainWindow m_window;
    QLineEdit* m_field = nullptr;
    QPushButton* m_button = nullptr;
    QAction* m_action = nullptr;
    ProgressDisplay* m_display = nullptr;
    qint64 m_now = 1000;
    int m_buttonClicks = 0;
    int m_commands = 0;
};

} // namespace

TEST_F(ProgressCancel, EscOrTheCancelButtonStopsTheStepAndOnlyIt)
{
    struct Case {
        const char* name;
        std::function<void()> ask;
    };
    const Case cases[] = {
        { "Esc pressed where a shortcut takes Esc",
            [this] {
                m_action->setShortcut(QKeySequence(Qt::Key_Escape));
                QTest::keyClick(m_field, Qt::Key_Escape);
                m_action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
            } },
        { "Esc pressed", [this] { QTest::keyClick(m_field, Qt::Key_Escape); } },
        { "Esc queued for the event loop",
            [this] {
                QCoreApplication::postEvent(
                    m_field, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
            } },
        { "Cancel clicked through the window system",
            [this] {
                QWidget* button = m_display->cancelButton();
                QTest::mouseClick(m_window.windowHandle(), Qt::LeftButton, {},
                    button->mapTo(&m_window, button->rect().center()));
            } },
        { "Cancel clicked",
            [this] { QTest::mouseClick(m_display->cancelButton(), Qt::LeftButton); } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(m_display->report(PROGRESS_ESTIMATE, 0.0));
        EXPECT_TRUE(reportLater(0.1));
        EXPECT_TRUE(m_display->cancelButton()->isVisible());
        c.ask();
        EXPECT_FALSE(reportLater(0.2));
        EXPECT_FALSE(reportLater(0.3));
        EXPECT_TRUE(m_display->report(PROGRESS_ESTIMATE, 1.0));
        EXPECT_FALSE(m_display->cancelButton()->isVisible());
        // The next step runs.
        EXPECT_TRUE(m_display->report(PROGRESS_EXPORT, 0.0));
        EXPECT_TRUE(reportLater(0.5));
        m_display->report(PROGRESS_EXPORT, 1.0);
    }
    EXPECT_EQ(m_commands, 0);
}

TEST_F(ProgressCancel, NothingElseReactsWhileAStepRuns)
{
    m_field->setFocus();
    const auto typeAndClick = [this] {
        QTest::keyClicks(m_field, QStringLiteral("12"));
        QTest::mouseClick(m_button, Qt::LeftButton);
        QTest::keyClick(&m_window, Qt::Key_R, Qt::ControlModifier);
        QCoreApplication::postEvent(m_field,
            new QKeyEvent(QEvent::KeyPress, Qt::Key_3, Qt::NoModifier, QStringLiteral("3")));
    };

    const auto clickThroughTheWindow = [this] {
        QTest::mouseClick(m_window.windowHandle(), Qt::LeftButton, {},
            m_button->mapTo(&m_window, m_button->rect().center()));
    };

    m_display->report(PROGRESS_READ, 0.0);
    typeAndClick();
    clickThroughTheWindow();
    // The window system's close reaches the window as its window's close.
    QCloseEvent close;
    QCoreApplication::sendEvent(m_window.windowHandle(), &close);
    EXPECT_TRUE(reportLater(0.5));
    m_display->report(PROGRESS_READ, 1.0);
    EXPECT_EQ(m_field->text(), QString());
    EXPECT_EQ(m_buttonClicks, 0);
    EXPECT_EQ(m_commands, 0);
    EXPECT_TRUE(m_window.isVisible());

    // Afterwards the window takes input again.
    typeAndClick();
    QCoreApplication::processEvents();
    clickThroughTheWindow();
    EXPECT_EQ(m_field->text(), QStringLiteral("123"));
    EXPECT_EQ(m_buttonClicks, 2);
    EXPECT_EQ(m_commands, 1);
}

TEST_F(ProgressCancel, TheWindowRepaintsDuringAStep)
{
    QCoreApplication::processEvents();
    int paints = 0;
    struct PaintCounter : QObject {
        int& count;
        explicit PaintCounter(int& counter)
            : count(counter)
        {
        }
        bool eventFilter(QObject*, QEvent* event) override
        {
            count += event->type() == QEvent::Paint;
            return false;
        }
    } counter(paints);
    m_button->installEventFilter(&counter);

    m_display->report(PROGRESS_READ, 0.0);
    m_button->update();
    EXPECT_EQ(paints, 0);
    EXPECT_TRUE(reportLater(0.5));
    EXPECT_GE(paints, 1);
    m_display->report(PROGRESS_READ, 1.0);
}

TEST_F(ProgressCancel, TheStatusBarSaysCancelled)
{
    m_display->showCancelled();
    EXPECT_EQ(m_window.statusBar()->currentMessage(), QStringLiteral("Cancelled"));
}
