#pragma once

#include "app/CMainFrame.h"
#include "app/CWelmoView.h"
#include "core/AnalysisState.h"
#include "core/SeriesStatistics.h"
#include "output/EditorLaunch.h"
#include "platform/FileOpenDialog.h"
#include "platform/MessageBox.h"
#include "spectrum/PsdEstimator.h"
#include "spectrum/PsdSize.h"
#include "spectrum/SpectralMeasures.h"
#include "support/RecordImage.h"

#include <QApplication>
#include <QCoreApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// A loaded record: a tone in a 4096-sample series and its 1024-bin spectrum,
// as Retrieve Data and a smaller PSD size would leave it.
inline void loadTone(AnalysisState& state)
{
    const unsigned count = 4096;
    ASSERT_EQ(allocateSeries(state, count), 0);
    state.series[0] = 0.0f;
    for (unsigned i = 1; i <= count; ++i)
        state.series[i] = static_cast<float>(std::sin(0.3 * i) + 0.01 * std::cos(2.1 * i));
    state.sampleCount = count;
    state.loadedCount = count;
    state.isOriginal = 1;
    computeSeriesStatistics(state);
    state.maxPsdSize = psdSizeLimit(count, 1, 0);
    state.psdSize = 1024;
    ASSERT_EQ(computeSpectrum(state), 0);
    state.psdValid = 1;
    updateSpectralMeasures(state);
}

// Settings in a directory of the test's own, under the program's names.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_settingsDir.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settingsDir.path());
        QCoreApplication::setOrganizationName(
            QStringLiteral("Local AppWizard-Generated Applications"));
        QCoreApplication::setApplicationName(QStringLiteral("Welmo"));
        setMessageHook([this](const std::string& text) { m_messages.push_back(text); });
        setCommandInterpreter([this](const std::string& line) {
            m_commandLines.push_back(line);
            return 0;
        });
    }

    void TearDown() override
    {
        m_frame.reset();
        setMessageHook(nullptr);
        setCommandInterpreter(nullptr);
        setFileOpenHook(nullptr);
    }

    // The window as start-up leaves it: shown, painted once.
    void startWindow()
    {
        resetAnalysisState(m_state);
        m_frame = std::make_unique<CMainFrame>(m_state);
        m_frame->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_frame.get()));
        waitForPaint();
        activate();
    }

    // Keys reach the window's shortcuts only while it is the active one;
    // without a window manager a closed dialog does not give it back.
    void activate()
    {
        m_frame->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(m_frame.get()));
    }

    int paints() const { return m_frame->view().paintCount(); }

    // Lets the event loop run until the view has painted more than
    // `before` times.
    void waitForPaint(int before = 0)
    {
        ASSERT_TRUE(QTest::qWaitFor([&] { return paints() > before; }, 2000));
    }

    // Runs `command` and answers the modal dialog it opens with `answer`;
    // returns the class name of that dialog, or an empty string when no
    // dialog opened. A dialog that the answer leaves open fails the test
    // when the watchdog of QtTestMain closes it.
    std::string runModal(
        const std::function<void()>& command, const std::function<void(QWidget*)>& answer)
    {
        std::string seen;
        QTimer poll;
        poll.setInterval(10);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || !seen.empty())
                return;
            seen = modal->metaObject()->className();
            answer(modal);
        });
        poll.start();
        command();
        poll.stop();
        return seen;
    }

    QTemporaryDir m_settingsDir;
    AnalysisState m_state;
    std::unique_ptr<CMainFrame> m_frame;
    std::vector<std::string> m_messages;
    std::vector<std::string> m_commandLines;
};
