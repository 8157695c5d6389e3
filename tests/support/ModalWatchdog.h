#pragma once

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

// Fails the running test when one modal window stays open longer than
// `limitMs` and closes it, so that a dialog which refuses the answer a test
// gave it (or one that no test answers) ends the test instead of hanging the
// whole executable. Modal windows run their own event loop, in which this
// timer keeps firing.
class ModalWatchdog : public QObject {
public:
    explicit ModalWatchdog(int limitMs = DEFAULT_LIMIT_MS)
        : m_limitMs(limitMs)
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { check(); });
        m_timer.start(POLL_MS);
        qApp->installEventFilter(this);
    }
    ~ModalWatchdog() override { qApp->removeEventFilter(this); }

    // A dialog shown again (the same object run once per data row) starts
    // its time afresh.
    bool eventFilter(QObject* object, QEvent* event) override
    {
        if (event->type() == QEvent::Show && object == m_watched)
            m_openFor.restart();
        return false;
    }

    static constexpr int DEFAULT_LIMIT_MS = 5000;

private:
    static constexpr int POLL_MS = 100;

    void check()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal != m_watched) {
            m_watched = modal;
            m_openFor.restart();
            return;
        }
        if (!modal || m_openFor.elapsed() < m_limitMs)
            return;
        ADD_FAILURE() << "the modal window " << modal->metaObject()->className() << " \""
                      << modal->windowTitle().toStdString() << "\" stayed open for more than "
                      << m_limitMs << " ms; closed by the test's watchdog";
        close(modal);
        m_watched = nullptr;
    }

    // A dialog's own reject may refuse; hiding ends its event loop anyway.
    static void close(QWidget* modal)
    {
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
        if (modal->isVisible())
            modal->hide();
    }

    int m_limitMs;
    QTimer m_timer;
    QPointer<QWidget> m_watched;
    QElapsedTimer m_openFor;
};
