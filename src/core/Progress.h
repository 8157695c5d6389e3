#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <functional>
#include <string_view>
#include <type_traits>
#include <utility>

// The status of a long step that stopped because its progress callback
// asked it to: beside 0 (done) and 1 (failed). A cancelled step leaves its
// outputs as they were before it started.
inline constexpr int STEP_CANCELLED = 2;

// How far a long step has come. A step reports (name, 0.0) first, then
// non-decreasing fractions, and (name, 1.0) when it ends, successfully or
// not. Always called on the thread that started the step, never from a
// worker, so a window may repaint from it. The answer says whether the
// step goes on: false asks it to stop, which it does at its next report
// (the answer to the final 1.0 is ignored). A callable that answers
// nothing lets every step run to its end. An empty callback reports
// nothing.
template <typename T> struct IsStdFunction : std::false_type {
};
template <typename T> struct IsStdFunction<std::function<T>> : std::true_type {
};

class ProgressCallback {
public:
    using Function = std::function<bool(std::string_view step, double fraction)>;

    ProgressCallback() = default;
    ProgressCallback(std::nullptr_t) { }
    // Plain SFINAE: Qt's moc reads this header and knows no concepts.
    template <typename Callable,
        typename = std::enable_if_t<
            !std::is_same_v<std::decay_t<Callable>,
                ProgressCallback> && std::is_invocable_v<Callable&, std::string_view, double>>>
    ProgressCallback(Callable callable)
        : m_function(wrap(std::move(callable)))
    {
    }

    explicit operator bool() const { return static_cast<bool>(m_function); }
    bool operator()(std::string_view step, double fraction) const
    {
        return m_function(step, fraction);
    }

private:
    template <typename Callable> static Function wrap(Callable callable)
    {
        // An empty std::function or a null pointer stays an empty callback.
        if constexpr (std::is_pointer_v<Callable> || IsStdFunction<Callable>::value) {
            if (!callable)
                return {};
        }
        if constexpr (std::is_void_v<std::invoke_result_t<Callable&, std::string_view, double>>)
            return
                [callable = std::move(callable)](std::string_view step, double fraction) mutable {
                    callable(step, fraction);
                    return true;
                };
        else
            return Function(std::move(callable));
    }

    Function m_function;
};

// Step names, as the status bar and welmo-psd show them.
inline constexpr std::string_view PROGRESS_COUNT = "Counting rows";
inline constexpr std::string_view PROGRESS_READ = "Reading data";
inline constexpr std::string_view PROGRESS_ESTIMATE = "Estimating spectrum";
inline constexpr std::string_view PROGRESS_AVERAGE = "Running average";
inline constexpr std::string_view PROGRESS_EXPORT = "Exporting spectrum";

// A stop asked for from outside the callbacks: welmo-psd's handler of
// SIGINT and SIGTERM stores the signal's number here. Every step hears it
// at its next report, as it hears a callback's false. Lock-free, so that a
// signal handler may store it.
inline constinit std::atomic<int> processStopRequest { 0 };
static_assert(std::atomic<int>::is_always_lock_free);

inline bool processStopRequested()
{
    return processStopRequest.load(std::memory_order_relaxed) != 0;
}

// Reports and returns whether the step goes on.
inline bool reportProgress(const ProgressCallback& progress, std::string_view step, double fraction)
{
    const bool goOn = !progress || progress(step, fraction);
    return goOn && !processStopRequested();
}

// One step's progress report: 0 when made, 1 when it goes (on every path
// out of the step, failures included), and in between rising fractions,
// no more than a few hundred of them. Where the fraction rises slowly the
// last one is repeated now and then, so that a request to stop is heard
// within a fraction of a second. Used on the calling thread only.
class StepProgress {
public:
    StepProgress(const ProgressCallback& progress, std::string_view step)
        : m_progress(progress)
        , m_step(step)
        , m_lastCall(Clock::now())
    {
        m_cancelled = !reportProgress(m_progress, m_step, 0.0);
    }
    ~StepProgress() { reportProgress(m_progress, m_step, 1.0); }
    StepProgress(const StepProgress&) = delete;
    StepProgress& operator=(const StepProgress&) = delete;

    // Returns whether the step goes on.
    bool advance(double fraction)
    {
        if (!m_cancelled && processStopRequested())
            m_cancelled = true;
        if (!m_progress || m_cancelled)
            return !m_cancelled;
        const Clock::time_point now = Clock::now();
        if (fraction >= m_last + MIN_STEP && fraction < 1.0)
            m_last = fraction;
        else if (now - m_lastCall < HEARTBEAT)
            return true;
        m_lastCall = now;
        m_cancelled = !m_progress(m_step, m_last);
        return !m_cancelled;
    }

    // Asks, without news of the fraction; returns whether the step goes on.
    bool poll() { return advance(m_last); }

    bool cancelled() const { return m_cancelled; }

private:
    using Clock = std::chrono::steady_clock;
    static constexpr double MIN_STEP = 1.0 / 256;
    static constexpr std::chrono::milliseconds HEARTBEAT { 100 };

    const ProgressCallback& m_progress;
    std::string_view m_step;
    double m_last = 0.0;
    Clock::time_point m_lastCall;
    bool m_cancelled = false;
};
