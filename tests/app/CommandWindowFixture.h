#pragma once

#include "MainWindowFixture.h"

#include "support/FileContents.h"

#include "app/CommandIds.h"

#include <QAbstractButton>
#include <QDialog>
#include <QFocusEvent>
#include <QLineEdit>

#include <algorithm>
#include <fstream>
#include <sstream>

inline const std::string SAWTOOTH = WELMO_TEST_DATA "/session_sawtooth.dat";
inline const std::string HUNDRED_ROWS = WELMO_TEST_DATA "/hundred_rows.dat";

// session_sawtooth.dat: the header "t x", then 512 rows "i v" with v running
// -3.5, -2.5, ..., 3.5 over and over; mean 0 and a sum of squares of 64 * 42.
// With one segment and no shift Retrieve Data sets M = 512 / 2 = 256.
inline constexpr unsigned SAWTOOTH_ROWS = 512;
inline float sawtoothSample(unsigned i)
{
    return static_cast<float>((i - 1) % 8) - 3.5f;
}

struct Typed {
    int id;
    std::string text;
};

// The main window with its commands run through their actions and their dialogs
// answered by typing into the fields and clicking the buttons. Messages are
// recorded, and each one checks that the record can be drawn as it stands.
class CommandWindow : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        setMessageHook([this](const std::string& text) {
            m_messages.push_back(text);
            // The real box runs a loop in which the view may paint: the
            // record must draw as it stands when a message is shown.
            EXPECT_GE(m_state.series.size(), std::size_t { m_state.sampleCount } + 1) << text;
            EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << "wait cursor over " << text;
            if (m_frame) {
                m_frame->view().repaint();
                m_paintsAtMessage = paints();
            }
        });
    }

    void startWindow()
    {
        MainWindowTest::startWindow();
        m_paintsAtMessage = -1;
    }

    // Paints so far, once the repaints already asked for have been done.
    int settledPaints()
    {
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        return paints();
    }

    // The command asked for a repaint since `before`, and after the paint
    // that its last message caused.
    void expectRepaintSince(int before) { waitForPaint(std::max(before, m_paintsAtMessage)); }

    static QLineEdit* field(QWidget* dialog, int id)
    {
        return dialog->findChild<QLineEdit*>(QStringLiteral("field%1").arg(id));
    }
    static QAbstractButton* button(QWidget* dialog, int id)
    {
        return dialog->findChild<QAbstractButton*>(QStringLiteral("button%1").arg(id));
    }
    static std::string text(QWidget* dialog, int id)
    {
        return field(dialog, id)->text().toStdString();
    }
    static void type(QWidget* dialog, const std::vector<Typed>& typed)
    {
        for (const Typed& entry : typed)
            field(dialog, entry.id)->setText(QString::fromStdString(entry.text));
    }
    static void leave(QWidget* dialog, int id)
    {
        QFocusEvent event(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(field(dialog, id), &event);
    }

    // Runs command `id` and plays `answer` on the dialog it opens. A dialog
    // that the answer leaves open is cancelled, so that a refusal the test
    // did not expect fails the test instead of hanging it. Every command
    // ends with the arrow cursor, however it ends. Returns the dialog's
    // class name, empty when none opened.
    std::string command(int id, const std::function<void(QWidget*)>& answer = {})
    {
        const std::string opened = runModal([&] { m_frame->commandAction(id)->trigger(); },
            [&](QWidget* modal) {
                if (answer)
                    answer(modal);
                if (modal->isVisible()) {
                    ADD_FAILURE() << "the dialog stayed open";
                    qobject_cast<QDialog*>(modal)->reject();
                }
            });
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << "wait cursor after " << id;
        return opened;
    }

    // Retrieve Data of `rows` rows, value in column 2 of 2 after 2 header
    // tokens (the layout of both fixture files).
    void retrieve(const std::string& file, const char* rows)
    {
        command(CommandIds::ID_FILE_RETRIEVE_DATA, [&](QWidget* dialog) {
            type(dialog,
                { { 1000, file }, { 1002, "2" }, { 1003, "2" }, { 1004, "2" }, { 1005, rows } });
            button(dialog, 1)->click();
        });
    }

    void loadSawtooth()
    {
        retrieve(SAWTOOTH, "512");
        ASSERT_TRUE(m_messages.empty()) << m_messages.front();
        ASSERT_EQ(m_state.sampleCount, SAWTOOTH_ROWS);
        ASSERT_EQ(m_state.psdValid, 1);
    }

    void expectSawtoothSeriesAndStatistics()
    {
        ASSERT_EQ(m_state.sampleCount, SAWTOOTH_ROWS);
        for (unsigned i = 1; i <= SAWTOOTH_ROWS; ++i)
            ASSERT_EQ(m_state.series[i], sawtoothSample(i)) << i;
        EXPECT_EQ(m_state.seriesMean, 0.0);
        EXPECT_EQ(m_state.seriesMin, -3.5);
        EXPECT_EQ(m_state.seriesMax, 3.5);
        EXPECT_DOUBLE_EQ(m_state.seriesStdDev, std::sqrt(2688.0 / 511.0));
    }

    // Configuration with `segments` and `shift` typed, the shift field left,
    // and OK.
    void configure(const char* segments, const char* shift)
    {
        command(CommandIds::ID_SETTINGS_PSD_CONFIG, [&](QWidget* dialog) {
            type(dialog, { { 1011, segments }, { 1012, shift } });
            leave(dialog, 1012);
            button(dialog, 1)->click();
        });
    }

    QTemporaryDir m_exportDir;
    int m_paintsAtMessage = -1;
};
