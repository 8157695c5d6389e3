#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

// The program beside this test's folder in the build tree.
std::filesystem::path welmoProgram()
{
    return std::filesystem::read_symlink("/proc/self/exe").parent_path().parent_path() / "welmo";
}

struct ProgramRun {
    int status;
    std::string out;
    std::string err;
};

std::string slurp(const std::filesystem::path& path)
{
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Runs the program under `environment` (an `env` prefix) with `arguments`.
ProgramRun runWelmo(const std::string& environment, const std::string& arguments)
{
    const auto dir = std::filesystem::temp_directory_path();
    const auto out = dir / ("welmo-out-" + std::to_string(getpid()));
    const auto err = dir / ("welmo-err-" + std::to_string(getpid()));
    const std::string line = "env " + environment + " '" + welmoProgram().string() + "' "
        + arguments + " </dev/null >'" + out.string() + "' 2>'" + err.string() + "'";
    const int raw = std::system(line.c_str());
    ProgramRun run { WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, slurp(out), slurp(err) };
    std::filesystem::remove(out);
    std::filesystem::remove(err);
    return run;
}

int lineCount(const std::string& text)
{
    int lines = 0;
    for (char c : text)
        lines += c == '\n';
    return lines;
}

const char noDisplay[] = "-u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM";

} // namespace

TEST(CommandLine, HelpAndVersionAnswerWithoutADisplay)
{
    if (!std::filesystem::exists(welmoProgram()))
        GTEST_SKIP() << "the welmo program is not built";
    struct Row {
        const char* argument;
        const char* firstLine;
    };
    for (const Row& row :
        { Row { "--help", "Usage: welmo [FILE]" }, Row { "-h", "Usage: welmo [FILE]" },
            Row { "--version", "welmo 1.0" }, Row { "-v", "welmo 1.0" } }) {
        SCOPED_TRACE(row.argument);
        const ProgramRun run = runWelmo(noDisplay, row.argument);
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.out.substr(0, run.out.find('\n')), row.firstLine);
        EXPECT_EQ(run.err, "");
    }
}

TEST(CommandLine, WithoutADisplayItSaysSoInOneLineAndFails)
{
    if (!std::filesystem::exists(welmoProgram()))
        GTEST_SKIP() << "the welmo program is not built";
    struct Row {
        const char* name;
        std::string environment;
        const char* says;
    };
    const Row rows[] = {
        { "nothing set", noDisplay, "welmo: no display" },
        { "display that is not there", std::string(noDisplay) + " DISPLAY=:97",
            "welmo: cannot open the display :97" },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const ProgramRun run = runWelmo(row.environment, "");
        EXPECT_NE(run.status, 0);
        EXPECT_EQ(run.err.rfind(row.says, 0), 0u) << run.err;
        EXPECT_EQ(lineCount(run.err), 1) << run.err;
        EXPECT_EQ(run.out, "");
    }
}

TEST(CommandLine, RefusesAnUnknownOption)
{
    if (!std::filesystem::exists(welmoProgram()))
        GTEST_SKIP() << "the welmo program is not built";
    const ProgramRun run = runWelmo("QT_QPA_PLATFORM=offscreen", "--frobnicate");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("welmo: unknown option --frobnicate"), std::string::npos) << run.err;
}
