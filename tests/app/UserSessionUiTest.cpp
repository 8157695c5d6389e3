#include "MainWindowFixture.h"

#include "app/CommandIds.h"
#include "core/CFormat.h"
#include "plot/PlotPicture.h"
#include "support/PlainSpectrum.h"
#include "support/RecordingCanvas.h"

#include <QAbstractButton>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QStyle>
#include <QStyleOptionButton>
#include <QToolBar>

#include <algorithm>
#include <fstream>

using namespace CommandIds;

namespace {

const std::string SAWTOOTH = WELMO_TEST_DATA "/session_sawtooth.dat";

// Keys go where the user's keyboard would send them: the open menu, else
// the widget with the focus.
void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::keyClick(static_cast<QWidget*>(nullptr), key, modifiers);
}

void typeOver(const char* text)
{
    press(Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(static_cast<QWidget*>(nullptr), QString::fromLatin1(text));
}

void click(QWidget* widget)
{
    ASSERT_NE(widget, nullptr);
    QTest::mouseClick(widget, Qt::LeftButton);
}

// A radio button takes a click on its circle or its text, which is not the
// middle of the widget once the layout has widened it.
void clickRadio(QAbstractButton* radio)
{
    ASSERT_NE(radio, nullptr);
    QStyleOptionButton option;
    option.initFrom(radio);
    const QRect circle
        = radio->style()->subElementRect(QStyle::SE_RadioButtonIndicator, &option, radio);
    QTest::mouseClick(radio, Qt::LeftButton, Qt::NoModifier, circle.center());
}

QLineEdit* field(QWidget* dialog, int id)
{
    return dialog->findChild<QLineEdit*>(QStringLiteral("field%1").arg(id));
}

QAbstractButton* button(QWidget* dialog, int id)
{
    return dialog->findChild<QAbstractButton*>(QStringLiteral("button%1").arg(id));
}

std::vector<std::string> linesOf(const std::string& path)
{
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

class UserSession : public MainWindowTest {
protected:
    QWidget* toolButton(int id)
    {
        return m_frame->toolBar().widgetForAction(m_frame->commandAction(id));
    }

    // `start` opens a dialog through the real widgets; `answer` works it
    // with keys and clicks once it is the active window. A dialog the
    // answer leaves open fails the test and is closed.
    void session(const std::function<void()>& start, const std::function<void(QWidget*)>& answer)
    {
        activate();
        const std::string opened = runModal(start, [&](QWidget* dialog) {
            // On a loaded machine the focus arrives some events after the
            // activation, and keys sent before it would go astray.
            const auto focusInside = [dialog] {
                QWidget* focus = QApplication::focusWidget();
                return focus && dialog->isAncestorOf(focus);
            };
            if (QTest::qWaitForWindowActive(dialog) && QTest::qWaitFor(focusInside))
                answer(dialog);
            else
                ADD_FAILURE() << "the dialog did not become active with the focus";
            if (dialog->isVisible()) {
                ADD_FAILURE() << "the dialog stayed open";
                qobject_cast<QDialog*>(dialog)->reject();
            }
        });
        EXPECT_FALSE(opened.empty()) << "no dialog opened";
    }
};

// The fixture holds 512 rows "i v" after the header "t x", v running -3.5,
// -2.5, ..., 3.5 over and over: a sawtooth of period 8. Two segments of
// 2M = 256 samples shifted by (512 - 256) / 2 = 128 fill the series exactly,
// and the fundamental lies on bin 2M / 8 = 32 of M = 128.
TEST_F(UserSession, RetrieveConfigureAndExportWithKeysAndClicks)
{
    startWindow();
    QTemporaryDir exportDir;
    ASSERT_TRUE(exportDir.isValid());
    const std::string exported = exportDir.filePath(QStringLiteral("saw psd.dat")).toStdString();

    session([&] { click(toolButton(ID_TOOLBAR_RETRIEVE)); },
        [&](QWidget* dialog) {
            ASSERT_EQ(QApplication::focusWidget(), field(dialog, 1000));
            typeOver(SAWTOOTH.c_str());
            press(Qt::Key_Tab); // Browse
            press(Qt::Key_Tab);
            typeOver("2");
            press(Qt::Key_Tab);
            typeOver("2");
            press(Qt::Key_Tab);
            typeOver("2");
            press(Qt::Key_Tab); // Data Raws
            press(Qt::Key_Tab);
            ASSERT_EQ(QApplication::focusWidget(), button(dialog, 1006));
            press(Qt::Key_Space); // Get and Check
            EXPECT_EQ(field(dialog, 1005)->text().toStdString(), "512");
            press(Qt::Key_Backtab);
            press(Qt::Key_Return); // OK, the default button
        });
    ASSERT_TRUE(m_messages.empty()) << m_messages.front();
    ASSERT_EQ(m_state.sampleCount, 512u);
    EXPECT_EQ(m_state.psdSize, 256);
    // The fixture's own name holds one '.', the one of ".dat"; the folders
    // above it may hold more. A checkout deep enough to put that '.' past
    // index 241 gets the fallback name.
    const std::size_t dot = SAWTOOTH.size() - 4;
    EXPECT_EQ(m_state.psdFileName,
        dot <= 241 ? SAWTOOTH.substr(0, dot) + "p.dat"
                   : SAWTOOTH.substr(0, SAWTOOTH.rfind('/') + 1) + "zqpsd.dat");

    const int paintsBeforeConfiguration = paints();
    session([&] { click(toolButton(ID_TOOLBAR_PSD_CONFIG)); },
        [&](QWidget* dialog) {
            click(field(dialog, 1011));
            typeOver("2");
            press(Qt::Key_Tab); // leaving the segments: R = 512, max 256
            click(button(dialog, 1006)); // "-": 128
            click(button(dialog, 1013)); // "auto"
            clickRadio(button(dialog, 1019)); // Parzen
            EXPECT_EQ(field(dialog, 1009)->text().toStdString(), "256");
            EXPECT_EQ(field(dialog, 1010)->text().toStdString(), "128");
            EXPECT_EQ(field(dialog, 1012)->text().toStdString(), "128");
            click(button(dialog, 1));
        });
    ASSERT_TRUE(m_messages.empty()) << m_messages.front();
    EXPECT_EQ(m_state.segmentCount, 2);
    EXPECT_EQ(m_state.dataShift, 128);
    EXPECT_EQ(m_state.windowType, 2);
    ASSERT_EQ(m_state.psdSize, 128);
    ASSERT_EQ(m_state.psdValid, 1);
    waitForPaint(paintsBeforeConfiguration);

    session(
        [&] {
            QTest::keyClick(m_frame.get(), Qt::Key_F, Qt::AltModifier);
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            ASSERT_NE(menu, nullptr) << "Alt+F opened no menu";
            EXPECT_EQ(menu->activeAction(), m_frame->commandAction(ID_FILE_RETRIEVE_DATA));
            press(Qt::Key_Down);
            EXPECT_EQ(menu->activeAction(), m_frame->commandAction(ID_FILE_FOLLOW));
            press(Qt::Key_Down);
            EXPECT_EQ(menu->activeAction(), m_frame->commandAction(ID_FILE_EXPORT_PSD));
            press(Qt::Key_Return);
        },
        [&](QWidget* dialog) {
            ASSERT_EQ(QApplication::focusWidget(), field(dialog, 1000));
            typeOver(exported.c_str());
            press(Qt::Key_Return);
        });
    ASSERT_TRUE(m_messages.empty()) << m_messages.front();

    // The spectrum against the plain estimate of the samples written into
    // the fixture.
    std::vector<float> samples(513, 0.0f);
    for (unsigned i = 1; i <= 512; ++i)
        samples[i] = static_cast<float>((i - 1) % 8) - 3.5f;
    std::vector<float> plain(129);
    ASSERT_EQ(plainComputeSpectrum(samples.data(), 512, 2, 128, 128, 2, 1, plain.data()), 0);
    ASSERT_EQ(m_state.psd.size(), plain.size());
    EXPECT_TRUE(std::equal(plain.begin(), plain.end(), m_state.psd.data()));

    const std::vector<std::string> lines = linesOf(exported);
    ASSERT_EQ(lines.size(), 126u); // entries 2 to M - 1
    EXPECT_EQ(lines.front(), formatC("-2.107210 %f", std::max(plain[2], -15.0f))); // log10(2/256)
    EXPECT_EQ(
        lines.back(), formatC("-0.304436 %f", std::max(plain[127], -15.0f))); // log10(127/256)

    // What the view draws in its statistics block.
    const std::vector<std::string> statistics = {
        "Y scale min=-4.900000 max=4.900000", // the range widened by a fifth on each side
        "N=512",
        "(Original data)",
        "Average=0.000000",
        "Min=-3.500000  Max=3.500000",
        "St Deviation=2.293529", // sqrt(64 * 42 / 511)
        "PSD size =128",
        "Max Peak at 0.250000", // bin 32 of 128
        formatC("LB(16) = %3.2f", lowBandRatio(16 * 100.0 / 128, plain.data(), 128)),
    };
    RecordingCanvas canvas(DeviceRect { 0, 0, m_frame->view().width(), m_frame->view().height() });
    drawPicture(canvas, m_state);
    std::vector<std::string> drawn;
    for (const RecordedText& text : canvas.texts)
        drawn.push_back(text.text);
    const auto first = std::find(drawn.begin(), drawn.end(), statistics.front());
    ASSERT_NE(first, drawn.end());
    ASSERT_GE(drawn.end() - first, static_cast<std::ptrdiff_t>(statistics.size()));
    EXPECT_EQ(std::vector<std::string>(first, first + statistics.size()), statistics);
    EXPECT_EQ(m_frame->windowTitle().toStdString(), " ZQ_PSD " + SAWTOOTH + " - Welmo");
}

} // namespace
