// The reads stop when asked also where no row comes: in a header token
// that never ends, or on a FIFO that sends nothing, as Esc asks in the
// window and a signal in welmo-psd.

#include "input/TimeSeriesReader.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <functional>
#include <poll.h>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

using Read = std::function<int(const AnalysisState&, const ProgressCallback&)>;

// Feeds the FIFO until the reader closes it: one endless token, or nothing.
void feed(const std::string& fifo, bool endless)
{
    const int descriptor = ::open(fifo.c_str(), O_WRONLY);
    if (descriptor < 0)
        return;
    if (endless) {
        const std::string token(1 << 16, 'x');
        while (::write(descriptor, token.data(), token.size()) > 0) { }
    } else {
        // The write end hears of the reader's close as an error.
        pollfd closed = { descriptor, 0, 0 };
        ::poll(&closed, 1, -1);
    }
    ::close(descriptor);
}

} // namespace

TEST(StopWait, EveryReadStopsInAnEndlessHeaderTokenOrOnASilentFifo)
{
    const auto previousPipeHandler = std::signal(SIGPIPE, SIG_IGN);
    FloatBuffer series;
    unsigned rows = 0;
    const struct {
        const char* name;
        Read read;
    } reads[] = {
        { "countTimeSeriesRows",
            [&](const AnalysisState& layout, const ProgressCallback& progress) {
                return countTimeSeriesRows(layout.dataFileName, 1, 1, rows, progress);
            } },
        { "readTimeSeriesInto",
            [&](const AnalysisState& layout, const ProgressCallback& progress) {
                return readTimeSeriesInto(layout, 64, series, rows, progress);
            } },
        { "readWholeTimeSeries",
            [&](const AnalysisState& layout, const ProgressCallback& progress) {
                return readWholeTimeSeries(layout, series, rows, progress);
            } },
    };
    for (const auto& read : reads) {
        for (const bool endless : { true, false }) {
            SCOPED_TRACE(std::string(read.name) + (endless ? ", endless token" : ", silent FIFO"));
            TempFolder folder("welmo_stop_wait");
            AnalysisState layout;
            resetAnalysisState(layout);
            layout.dataFileName = folder.file("series.fifo");
            layout.headerTokens = 1;
            layout.columnCount = 1;
            layout.dataColumn = 1;
            ASSERT_EQ(mkfifo(layout.dataFileName.c_str(), 0600), 0);
            std::thread writer(feed, layout.dataFileName, endless);
            // Go on at the step's first report, stop at the next one.
            int reports = 0;
            const int status = read.read(layout, [&](std::string_view, double fraction) {
                return fraction >= 1.0 || ++reports < 2;
            });
            writer.join();
            EXPECT_EQ(status, STEP_CANCELLED);
        }
    }
    std::signal(SIGPIPE, previousPipeHandler);
}
