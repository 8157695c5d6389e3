#pragma once

#include <QObject>

#include <functional>
#include <string_view>

class QLabel;
class QProgressBar;
class QPushButton;
class QStatusBar;

// A long step's progress in the status bar: the step's name, a bar and a
// Cancel button, shown once the step has run for half a second and hidden
// when it ends. While a step runs the window takes no input: the events of
// the application are filtered, and only Esc and the Cancel button pass,
// both of which ask the step to stop. Every few reports the event loop runs
// briefly, so that these are seen and the window repaints (a view that
// must not read a record in the middle of a change repeats its last
// picture meanwhile, see PictureHoldScope).
class ProgressDisplay : public QObject {
    Q_OBJECT
public:
    explicit ProgressDisplay(QStatusBar* statusBar);

    // Follows the protocol of ProgressCallback: (step, 0) starts the clock
    // and the filter, (step, 1) ends them. Returns whether the step goes on:
    // false once Esc or Cancel asked it to stop, until the step ends.
    bool report(std::string_view step, double fraction);

    // The status bar's word for a command that was cancelled.
    void showCancelled();

    // Milliseconds since the step started; tests replace the clock.
    using Clock = std::function<qint64()>;
    void setClock(Clock clock);

    bool isShown() const;
    bool isRunning() const { return m_running; }
    QString stepName() const;
    int percent() const;
    QPushButton* cancelButton() const { return m_cancel; }

    static constexpr qint64 SHOW_AFTER_MS = 500;
    // The event loop runs at most this often during a step.
    static constexpr qint64 EVENTS_EVERY_MS = 50;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void start();
    void finish();
    void show(std::string_view step);
    void hide();
    void processEvents();
    void requestCancel();

    QStatusBar* m_statusBar;
    QLabel* m_label;
    QProgressBar* m_bar;
    QPushButton* m_cancel;
    Clock m_clock;
    qint64 m_start = 0;
    qint64 m_lastEvents = 0;
    bool m_running = false;
    bool m_shown = false;
    bool m_cancelRequested = false;
};
