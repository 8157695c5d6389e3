#pragma once

#include <QObject>

#include <functional>
#include <string_view>

class QLabel;
class QProgressBar;
class QStatusBar;

// A long step's progress in the status bar: the step's name and a bar,
// shown once the step has run for half a second and hidden when it ends.
// Both are repainted at once, without running the event loop, so no input
// is handled while the record is being changed.
class ProgressDisplay : public QObject {
    Q_OBJECT
public:
    explicit ProgressDisplay(QStatusBar* statusBar);

    // Follows the protocol of ProgressCallback: (step, 0) starts the clock.
    void report(std::string_view step, double fraction);

    // Milliseconds since the step started; tests replace the clock.
    using Clock = std::function<qint64()>;
    void setClock(Clock clock);

    bool isShown() const;
    QString stepName() const;
    int percent() const;

    static constexpr qint64 SHOW_AFTER_MS = 500;

private:
    void show(std::string_view step);
    void hide();

    QLabel* m_label;
    QProgressBar* m_bar;
    Clock m_clock;
    qint64 m_start = 0;
    bool m_running = false;
    bool m_shown = false;
};
