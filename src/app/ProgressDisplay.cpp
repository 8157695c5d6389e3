#include "app/ProgressDisplay.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QLayout>
#include <QProgressBar>
#include <QStatusBar>

#include <algorithm>
#include <cmath>

namespace {

qint64 monotonicMs()
{
    static QElapsedTimer timer;
    if (!timer.isValid())
        timer.start();
    return timer.elapsed();
}

} // namespace

ProgressDisplay::ProgressDisplay(QStatusBar* statusBar)
    : QObject(statusBar)
    , m_label(new QLabel(statusBar))
    , m_bar(new QProgressBar(statusBar))
    , m_clock(monotonicMs)
{
    m_label->setObjectName(QStringLiteral("progressStep"));
    m_bar->setObjectName(QStringLiteral("progressBar"));
    m_bar->setRange(0, 100);
    m_bar->setMaximumWidth(200);
    m_bar->setTextVisible(true);
    // Permanent widgets, left of the indicators: the temporary messages (the
    // menu prompts, "Ready") would cover normal ones.
    statusBar->insertPermanentWidget(0, m_label);
    statusBar->insertPermanentWidget(1, m_bar);
    m_label->hide();
    m_bar->hide();
}

void ProgressDisplay::setClock(Clock clock)
{
    m_clock = clock ? std::move(clock) : Clock(monotonicMs);
}

void ProgressDisplay::report(std::string_view step, double fraction)
{
    if (fraction <= 0.0 || !m_running) {
        m_start = m_clock();
        m_running = true;
    }
    if (fraction >= 1.0) {
        m_running = false;
        hide();
        return;
    }
    if (!m_shown) {
        if (m_clock() - m_start < SHOW_AFTER_MS)
            return;
        show(step);
    }
    const int percent = static_cast<int>(std::floor(std::clamp(fraction, 0.0, 1.0) * 100.0));
    if (percent == m_bar->value())
        return;
    m_bar->setValue(percent);
    m_bar->repaint();
}

void ProgressDisplay::show(std::string_view step)
{
    m_label->setText(QString::fromUtf8(step.data(), static_cast<qsizetype>(step.size())));
    m_bar->setValue(0);
    m_label->show();
    m_bar->show();
    m_shown = true;
    // The status bar's layout would otherwise wait for the event loop.
    if (QLayout* layout = m_bar->parentWidget()->layout())
        layout->activate();
    m_label->repaint();
    m_bar->repaint();
}

void ProgressDisplay::hide()
{
    if (!m_shown)
        return;
    m_shown = false;
    m_label->hide();
    m_bar->hide();
}

bool ProgressDisplay::isShown() const
{
    return m_shown;
}

QString ProgressDisplay::stepName() const
{
    return m_label->text();
}

int ProgressDisplay::percent() const
{
    return m_bar->value();
}
