#include "StopSignals.h"

#include "core/Progress.h"
#include "input/TimeSeriesReader.h"
#include "output/PsdExport.h"
#include "support/FileContents.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;

namespace {

// The handlers of this test process, and the stop they store, for the
// length of one test.
class StopSignalsInstalled {
public:
    StopSignalsInstalled() { installStopSignals(); }
    ~StopSignalsInstalled()
    {
        std::signal(SIGINT, SIG_DFL);
        std::signal(SIGTERM, SIG_DFL);
        processStopRequest.store(0);
    }
};

} // namespace

TEST(StopSignals, ASignalDuringAStepStopsItWithNothingWritten)
{
    for (int signal : { SIGINT, SIGTERM }) {
        SCOPED_TRACE(signal);
        TempFolder folder("welmo_stop_signal");
        const StopSignalsInstalled installed;
        AnalysisState state;
        resetAnalysisState(state);
        state.psd.allocate((1 << 18) + 1);
        for (std::size_t i = 0; i < state.psd.size(); ++i)
            state.psd[i] = -static_cast<float>(i % 500) / 40.0f;
        state.psdValid = 1;
        state.psdFileName = folder.file("spectrum.dat");
        int reports = 0;
        std::string error;
        const int status
            = exportPsd(state, false, 1.0, error, [&](std::string_view, double fraction) {
                  if (++reports == 3 && fraction < 1.0)
                      std::raise(signal);
              });
        EXPECT_EQ(status, STEP_CANCELLED);
        EXPECT_GT(reports, 3);
        EXPECT_EQ(stopSignal(), signal);
        EXPECT_EQ(folderNames(folder.path()), std::vector<std::string> {});
        // Every later step stops at once.
        state.dataFileName = folder.file("series.dat");
        std::ofstream(state.dataFileName) << "1\n2\n3\n";
        FloatBuffer series;
        unsigned rows = 0;
        EXPECT_EQ(readWholeTimeSeries(state, series, rows), STEP_CANCELLED);
        EXPECT_EQ(rows, 0u);
    }
    EXPECT_EQ(stopExitStatus(SIGINT), 130);
    EXPECT_EQ(stopExitStatus(SIGTERM), 143);
}

// The program reads its data from a pipe that it waits on, so that the
// signal surely comes while it runs.
TEST(StopSignals, TheProgramStoppedBySigintExitsWith130AndWritesNoSpectrum)
{
    TempFolder folder("welmo_stop_program");
    const fs::path data = folder.path() / "series.dat";
    ASSERT_EQ(mkfifo(data.c_str(), 0600), 0);
    TempFolder logs("welmo_stop_logs");
    const std::string errPath = logs.file("stderr.txt");

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(
        &actions, STDERR_FILENO, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    std::string program = WELMO_PSD_PATH;
    std::string file = data.string();
    char* argv[] = { program.data(), file.data(), nullptr };
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ), 0);
    posix_spawn_file_actions_destroy(&actions);

    // Opening the pipe waits until the program has opened it too, after it
    // set up its handlers.
    const int pipe = open(data.c_str(), O_WRONLY);
    ASSERT_GE(pipe, 0);
    ASSERT_EQ(kill(pid, SIGINT), 0);
    std::string rows;
    for (int i = 0; i < 5000; ++i)
        rows += std::to_string(i % 7) + "\n";
    // The program may stop before it reads them, and close the pipe.
    const auto previousPipeHandler = std::signal(SIGPIPE, SIG_IGN);
    (void)!write(pipe, rows.data(), rows.size());
    close(pipe);
    std::signal(SIGPIPE, previousPipeHandler);

    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 130);
    std::ifstream err(errPath);
    const std::string message(std::istreambuf_iterator<char>(err), {});
    EXPECT_NE(message.find("stopped by SIGINT"), std::string::npos) << message;
    EXPECT_EQ(folderNames(folder.path()), std::vector<std::string> { "series.dat" });
}

// The signal reaches the program where it waits or loops without a row to
// report: blocked on a FIFO that sends nothing, or skipping a header token
// that never ends. Either wait ends as a stop, not only by SIGKILL.
TEST(StopSignals, AWaitOnAFifoOrAnEndlessHeaderTokenStopsOnTheSignal)
{
    const auto previousPipeHandler = std::signal(SIGPIPE, SIG_IGN);
    for (const bool endless : { false, true }) {
        SCOPED_TRACE(endless ? "endless header token" : "FIFO that sends nothing");
        TempFolder folder("welmo_stop_wait");
        const fs::path data = folder.path() / "series.dat";
        ASSERT_EQ(mkfifo(data.c_str(), 0600), 0);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        std::string program = WELMO_PSD_PATH;
        std::string option = "--header-tokens";
        std::string tokens = "1";
        std::string file = data.string();
        char* argv[] = { program.data(), option.data(), tokens.data(), file.data(), nullptr };
        pid_t pid = 0;
        ASSERT_EQ(posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ), 0);
        posix_spawn_file_actions_destroy(&actions);

        const int pipe = open(data.c_str(), O_WRONLY);
        ASSERT_GE(pipe, 0);
        int status = 0;
        if (endless) {
            const std::string token(1 << 16, 'x');
            ASSERT_EQ(write(pipe, token.data(), token.size()), static_cast<ssize_t>(token.size()));
            ASSERT_EQ(kill(pid, SIGINT), 0);
            // The token goes on until the program stops reading it.
            while (write(pipe, token.data(), token.size()) > 0) { }
            ASSERT_EQ(waitpid(pid, &status, 0), pid);
        } else {
            ASSERT_EQ(kill(pid, SIGINT), 0);
            ASSERT_EQ(waitpid(pid, &status, 0), pid);
        }
        close(pipe);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 130);
        EXPECT_EQ(folderNames(folder.path()), std::vector<std::string> { "series.dat" });
    }
    std::signal(SIGPIPE, previousPipeHandler);
}
