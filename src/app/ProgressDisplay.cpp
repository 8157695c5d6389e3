#include "app/ProgressDisplay.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QProgressBar>
#include <QPushButton>
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

// Input that would start something while a step runs.
bool isUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::ShortcutOverride:
    case QEvent::ContextMenu:
    case QEvent::InputMethod:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::TabletMove:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::Close:
        return true;
    default:
        return false;
    }
}

bool isMouse(QEvent::Type type)
{
    return type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease
        || type == QEvent::MouseButtonDblClick || type == QEvent::MouseMove;
}

} // namespace

ProgressDisplay::ProgressDisplay(QStatusBar* statusBar)
    : QObject(statusBar)
    , m_statusBar(statusBar)
    , m_label(new QLabel(statusBar))
    , m_bar(new QProgressBar(statusBar))
    , m_cancel(new QPushButton(tr("Cancel"), statusBar))
    , m_clock(monotonicMs)
{
    m_label->setObjectName(QStringLiteral("progressStep"));
    m_bar->setObjectName(QStringLiteral("progressBar"));
    m_cancel->setObjectName(QStringLiteral("progressCancel"));
    m_bar->setRange(0, 100);
    m_bar->setMaximumWidth(200);
    m_bar->setTextVisible(true);
    m_cancel->setFocusPolicy(Qt::NoFocus);
    connect(m_cancel, &QPushButton::clicked, this, &ProgressDisplay::requestCancel);
    // Permanent widgets, left of the indicators: the temporary messages (the
    // menu prompts, "Ready") would cover normal ones.
    statusBar->insertPermanentWidget(0, m_label);
    statusBar->insertPermanentWidget(1, m_bar);
    statusBar->insertPermanentWidget(2, m_cancel);
    m_label->hide();
    m_bar->hide();
    m_cancel->hide();
}

void ProgressDisplay::setClock(Clock clock)
{
    m_clock = clock ? std::move(clock) : Clock(monotonicMs);
}

bool ProgressDisplay::report(std::string_view step, double fraction)
{
    if (fraction <= 0.0 || !m_running)
        start();
    if (fraction >= 1.0) {
        finish();
        return true;
    }
    if (!m_shown && m_clock() - m_start >= SHOW_AFTER_MS)
        show(step);
    if (m_shown) {
        const int percent = static_cast<int>(std::floor(std::clamp(fraction, 0.0, 1.0) * 100.0));
        if (percent != m_bar->value()) {
            m_bar->setValue(percent);
            m_bar->repaint();
        }
    }
    if (m_clock() - m_lastEvents >= EVENTS_EVERY_MS)
        processEvents();
    return !m_cancelRequested;
}

void ProgressDisplay::showCancelled()
{
    m_statusBar->showMessage(tr("Cancelled"));
}

void ProgressDisplay::start()
{
    m_start = m_clock();
    m_lastEvents = m_start;
    m_cancelRequested = false;
    if (!m_running)
        qApp->installEventFilter(this);
    m_running = true;
}

void ProgressDisplay::finish()
{
    if (m_running)
        qApp->removeEventFilter(this);
    m_running = false;
    m_cancelRequested = false;
    hide();
}

void ProgressDisplay::processEvents()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents, static_cast<int>(EVENTS_EVERY_MS / 5));
    m_lastEvents = m_clock();
}

void ProgressDisplay::requestCancel()
{
    if (m_running)
        m_cancelRequested = true;
}

bool ProgressDisplay::eventFilter(QObject* watched, QEvent* event)
{
    if (!m_running || !isUserInput(event->type()))
        return false;
    // Input reaches a widget through its window and is held back at the
    // widget, where the Cancel button can be told apart; shortcuts go to
    // actions, which are no widgets.
    if (!watched->isWidgetType() && event->type() != QEvent::Shortcut)
        return false;
    if (event->type() == QEvent::Close) {
        // Only the window system's close: Qt closes its own popups with
        // events of the same kind. An ignored close leaves the window open.
        if (!event->spontaneous())
            return false;
        event->ignore();
        return true;
    }
    const bool isKey
        = event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride;
    if (isKey && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        // Accepted as a key, so that no shortcut on Esc takes it first.
        event->accept();
        requestCancel();
        return true;
    }
    if (watched == m_cancel && isMouse(event->type()))
        return false;
    return true;
}

void ProgressDisplay::show(std::string_view step)
{
    m_label->setText(QString::fromUtf8(step.data(), static_cast<qsizetype>(step.size())));
    m_bar->setValue(0);
    m_label->show();
    m_bar->show();
    m_cancel->show();
    m_shown = true;
    // The status bar's layout would otherwise wait for the event loop.
    if (QLayout* layout = m_bar->parentWidget()->layout())
        layout->activate();
    m_label->repaint();
    m_bar->repaint();
    m_cancel->repaint();
}

void ProgressDisplay::hide()
{
    if (!m_shown)
        return;
    m_shown = false;
    m_label->hide();
    m_bar->hide();
    m_cancel->hide();
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
