#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;

namespace {

std::string rows(unsigned from, unsigned to)
{
    std::string text;
    for (unsigned r = from; r <= to; ++r)
        text += std::to_string((r * 7) % 11) + '\n';
    return text;
}

void append(const fs::path& file, const std::string& bytes)
{
    std::ofstream(file, std::ios::app | std::ios::binary) << bytes;
}

std::string contents(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The sample counts of the summary lines printed so far.
std::vector<std::string> summaries(const fs::path& out)
{
    std::vector<std::string> counts;
    std::ifstream in(out);
    for (std::string line; std::getline(in, line);)
        if (const auto end = line.find(" samples, M = "); end != std::string::npos)
            counts.push_back(
                line.substr(line.rfind(' ', end - 1) + 1, end - line.rfind(' ', end - 1) - 1));
    return counts;
}

// Waits until the program has printed `count` summary lines; a bound only
// for a program that never does.
bool awaitSummaries(const fs::path& out, std::size_t count)
{
    for (int i = 0; i < 3000; ++i) {
        if (summaries(out).size() >= count)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

pid_t spawn(std::vector<std::string> args, const fs::path& out, const fs::path& err)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(
        &actions, STDOUT_FILENO, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(
        &actions, STDERR_FILENO, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

int exitStatus(pid_t pid)
{
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

} // namespace

// Each append of complete rows gives one summary line and a new export;
// a line still without its end waits. The signal ends the program with
// its status and the export complete: the one a run on the grown file
// writes, and nothing else beside the data.
TEST(FollowBatch, PrintsASummaryPerAppendAndEndsOnTheSignalWithCompleteFiles)
{
    for (const int signal : { SIGINT, SIGTERM }) {
        SCOPED_TRACE(signal);
        TempFolder folder("welmo_follow_batch");
        TempFolder logs("welmo_follow_logs");
        const fs::path data = folder.path() / "run.dat";
        const fs::path spectrum = folder.path() / "spectrum.dat";
        const fs::path out = logs.path() / "out.txt";
        append(data, rows(1, 300));
        const pid_t pid = spawn(
            { WELMO_PSD_PATH, "--follow", "0.1", "--output", spectrum.string(), data.string() },
            out, logs.path() / "err.txt");
        ASSERT_GT(pid, 0);
        ASSERT_TRUE(awaitSummaries(out, 1));
        append(data, rows(301, 400) + "5");
        ASSERT_TRUE(awaitSummaries(out, 2));
        std::string rest = rows(402, 500);
        rest.insert(0, 1, '\n');
        append(data, rest);
        ASSERT_TRUE(awaitSummaries(out, 3));
        ASSERT_EQ(kill(pid, signal), 0);
        EXPECT_EQ(exitStatus(pid), 128 + signal);
        EXPECT_EQ(summaries(out), (std::vector<std::string> { "300", "400", "500" }));

        const fs::path again = logs.path() / "again.dat";
        const pid_t fresh = spawn({ WELMO_PSD_PATH, "--output", again.string(), data.string() },
            logs.path() / "fresh.txt", logs.path() / "fresh-err.txt");
        EXPECT_EQ(exitStatus(fresh), 0);
        EXPECT_EQ(contents(spectrum), contents(again));
        EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), {}), 2)
            << "no temporary left";
    }
}
