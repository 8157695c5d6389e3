#include "output/PsdExport.h"

#include "support/FileContents.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

class ExportFolder : public ::testing::Test {
protected:
    std::string path(const std::string& name) const { return (m_folder.path() / name).string(); }

    std::vector<std::string> entries() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(m_folder.path()))
            names.push_back(entry.path().filename().string());
        return names;
    }

    TempFolder m_folder { "welmo_export" };
};

// A spectrum of M+1 log10 entries, all at `level`.
std::vector<float> flatSpectrum(int M, float level)
{
    return std::vector<float>(static_cast<std::size_t>(M) + 1, level);
}

} // namespace

TEST(DerivePsdFileName, CutsAtTheFirstDotOfTheFileOwnName)
{
    const std::string stem238(238, 'a');
    const std::string stem239(239, 'a');
    const std::string stem240(240, 'a');
    const std::string stem241(241, 'a');
    struct Case {
        std::string data;
        std::string psd;
    } cases[] = {
        { "test.dat", "testp.dat" }, { "run.v2.dat", "runp.dat" },
        { "data\\run1.dat", "data\\run1p.dat" }, // a backslash separates no folder here
        { "old.runs\\run1.dat", "oldp.dat" }, { "..\\run1.dat", "p.dat" },
        { "/home/user/run1.dat", "/home/user/run1p.dat" }, { "./run1.dat", "./run1p.dat" },
        { "../data/run.dat", "../data/runp.dat" }, { "old.runs/run1.dat", "old.runs/run1p.dat" },
        { "old.runs/run1", "old.runs/zqpsd.dat" }, { "/data/", "/data/zqpsd.dat" },
        { "dir/.hidden", "dir/p.dat" }, { "noextension", "zqpsd.dat" }, { "", "zqpsd.dat" },
        { stem240 + ".dat", stem240 + "p.dat" }, { stem241 + ".dat", "zqpsd.dat" },
        { stem241, "zqpsd.dat" },
        { "d/" + stem238 + ".dat", "d/" + stem238 + "p.dat" }, // '.' at index 240
        { "d/" + stem239 + ".dat", "d/zqpsd.dat" }, // '.' at index 241
    };
    for (const Case& c : cases) {
        AnalysisState state;
        state.dataFileName = c.data;
        derivePsdFileName(state);
        EXPECT_EQ(state.psdFileName, c.psd)
            << c.data.substr(0, 40) << " (length " << c.data.size() << ")";
    }
}

TEST_F(ExportFolder, LogLogWritesEntriesTwoToBelowNyquist)
{
    const int M = 1024;
    std::vector<float> psd = flatSpectrum(M, -4.0f);
    psd[0] = 99.0f; // entries 0, 1 and M are never written
    psd[1] = 99.0f;
    psd[M] = 99.0f;
    psd[2] = -3.25f;
    psd[M - 1] = -0.5f;
    double minLog = -15.0;
    std::string error;
    ASSERT_EQ(writePsdFile(path("out.dat"), psd.data(), M, false, 1.0, minLog, error), 0) << error;

    const std::vector<std::string> lines = fileLines(path("out.dat"));
    ASSERT_EQ(lines.size(), 1022u);
    EXPECT_EQ(lines.front(), "-3.010300 -3.250000"); // log10(2/2048)
    EXPECT_EQ(lines[1], "-2.834209 -4.000000"); // log10(3/2048)
    EXPECT_EQ(lines.back(), "-0.301454 -0.500000"); // log10(1023/2048)
    EXPECT_EQ(fileBytes(path("out.dat")).find(" 99.000000"), std::string::npos);
    EXPECT_EQ(minLog, -15.0);
}

TEST_F(ExportFolder, LinearWritesAngularFrequencyPerTimeStep)
{
    struct Case {
        double dt;
        std::string first;
        std::string second;
    } cases[] = {
        { 1.0, "1.570796327 1.000000000", "2.356194490 0.100000000" },
        { 2.0, "0.785398163 1.000000000", "1.178097245 0.100000000" },
    };
    for (const Case& c : cases) {
        std::vector<float> psd = flatSpectrum(4, 0.0f);
        psd[3] = -1.0f;
        double minLog = -15.0;
        std::string error;
        ASSERT_EQ(writePsdFile(path("lin.dat"), psd.data(), 4, true, c.dt, minLog, error), 0);
        const std::vector<std::string> lines = fileLines(path("lin.dat"));
        ASSERT_EQ(lines.size(), 2u);
        EXPECT_EQ(lines[0], c.first) << "dt " << c.dt;
        EXPECT_EQ(lines[1], c.second) << "dt " << c.dt;
    }
}

TEST_F(ExportFolder, LevelsBelowTheMinimumAndNanAreReplaced)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        bool linear;
        double minLog;
        float value;
        std::string second;
        double minLogAfter;
    } cases[] = {
        { false, -15.0, -20.0f, "-15.000000", -15.0 },
        { false, -15.0, nan, "-15.000000", -15.0 },
        { false, -15.0, -15.0f, "-15.000000", -15.0 },
        { false, -5.0, -4.5f, "-4.500000", -5.0 },
        { true, -15.0, -20.0f, "0.000000010", -8.0 }, // the linear format raises L to -8
        { true, -15.0, nan, "0.000000010", -8.0 },
        { true, -5.0, -6.0f, "0.000010000", -5.0 },
        { true, -8.0, -9.0f, "0.000000010", -8.0 },
    };
    for (const Case& c : cases) {
        std::vector<float> psd = flatSpectrum(4, c.value);
        double minLog = c.minLog;
        std::string error;
        ASSERT_EQ(writePsdFile(path("lvl.dat"), psd.data(), 4, c.linear, 1.0, minLog, error), 0);
        const std::vector<std::string> lines = fileLines(path("lvl.dat"));
        ASSERT_EQ(lines.size(), 2u);
        const std::string second = lines[0].substr(lines[0].rfind(' ') + 1);
        EXPECT_EQ(second, c.second) << "linear " << c.linear << " L " << c.minLog;
        EXPECT_EQ(minLog, c.minLogAfter) << "linear " << c.linear << " L " << c.minLog;
    }
}

TEST_F(ExportFolder, NoLineForTwoEntriesOrFewerAndNoRaise)
{
    for (int M : { 1, 2 }) {
        std::vector<float> psd = flatSpectrum(M, -20.0f);
        double minLog = -15.0;
        std::string error;
        ASSERT_EQ(writePsdFile(path("empty.dat"), psd.data(), M, true, 1.0, minLog, error), 0);
        EXPECT_EQ(fileBytes(path("empty.dat")), "") << "M " << M;
        EXPECT_EQ(minLog, -15.0) << "no line written, so L is not raised";
    }
}

TEST_F(ExportFolder, FailureLeavesTargetAndFolderAsTheyWere)
{
    std::vector<float> psd = flatSpectrum(8, -2.0f);
    struct Case {
        std::string target;
        std::string reason;
    } cases[] = {
        { path("missing/out.dat"), std::strerror(ENOENT) },
        { path("folder"), std::strerror(EISDIR) },
    };
    fs::create_directory(path("folder"));
    writeFile(path("folder/inside.dat"), "kept\n");
    for (const Case& c : cases) {
        double minLog = -15.0;
        std::string error;
        EXPECT_EQ(writePsdFile(c.target, psd.data(), 8, true, 1.0, minLog, error), 1) << c.target;
        EXPECT_EQ(error, c.reason) << c.target;
        EXPECT_EQ(minLog, -15.0) << "a failed export raises nothing";
    }
    EXPECT_EQ(entries(), std::vector<std::string> { "folder" });
    EXPECT_EQ(fileBytes(path("folder/inside.dat")), "kept\n");
}

TEST_F(ExportFolder, WriteErrorMidwayKeepsTheOldFile)
{
    // A child process whose file-size limit stops the export after a few
    // hundred bytes: the write fails in the middle, as on a full disk.
    const std::string target = path("old.dat");
    writeFile(target, "old contents\n");
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(pipeEnds[0]);
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit = { 300, 300 };
        setrlimit(RLIMIT_FSIZE, &limit);
        std::vector<float> psd = flatSpectrum(1024, -2.0f);
        double minLog = -15.0;
        std::string error;
        const int status = writePsdFile(target, psd.data(), 1024, false, 1.0, minLog, error);
        ssize_t ignored = write(pipeEnds[1], error.data(), error.size());
        (void)ignored;
        _exit(status);
    }
    close(pipeEnds[1]);
    std::string reason;
    char chunk[256];
    for (ssize_t got; (got = read(pipeEnds[0], chunk, sizeof chunk)) > 0;)
        reason.append(chunk, static_cast<std::size_t>(got));
    close(pipeEnds[0]);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_EQ(reason, std::strerror(EFBIG));
    EXPECT_EQ(fileBytes(target), "old contents\n");
    EXPECT_EQ(entries(), std::vector<std::string> { "old.dat" }) << "temporary file removed";
}

TEST_F(ExportFolder, ExportGetsTheModeAnOrdinaryWriteWouldLeave)
{
    const mode_t previousMask = umask(022);
    std::vector<float> psd = flatSpectrum(8, -2.0f);
    double minLog = -15.0;
    std::string error;
    ASSERT_EQ(writePsdFile(path("new.dat"), psd.data(), 8, false, 1.0, minLog, error), 0);
    writeFile(path("existing.dat"), "old\n");
    chmod(path("existing.dat").c_str(), 0640);
    ASSERT_EQ(writePsdFile(path("existing.dat"), psd.data(), 8, false, 1.0, minLog, error), 0);
    umask(previousMask);

    struct stat info;
    ASSERT_EQ(stat(path("new.dat").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0644u);
    ASSERT_EQ(stat(path("existing.dat").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST_F(ExportFolder, DecimalPointWhateverTheProcessLocale)
{
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8"))
        GTEST_SKIP() << "locale de_DE.UTF-8 is not installed";
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 1.5);
    const std::string localeText = probe;
    std::vector<float> psd = flatSpectrum(4, -0.5f);
    double minLog = -15.0;
    std::string error;
    const int logStatus = writePsdFile(path("log.dat"), psd.data(), 4, false, 1.0, minLog, error);
    const int linearStatus = writePsdFile(path("lin.dat"), psd.data(), 4, true, 1.0, minLog, error);
    std::setlocale(LC_ALL, "C");

    ASSERT_EQ(localeText, "1,5") << "the locale should use a decimal comma";
    ASSERT_EQ(logStatus, 0);
    ASSERT_EQ(linearStatus, 0);
    EXPECT_EQ(fileLines(path("log.dat")).front(), "-0.602060 -0.500000");
    EXPECT_EQ(fileLines(path("lin.dat")).front(), "1.570796327 0.316227766");
}

TEST_F(ExportFolder, RecordExportUsesTheSizeOfTheLastEstimate)
{
    AnalysisState state;
    state.psdFileName = path("record.dat");
    std::string error;
    EXPECT_EQ(exportPsd(state, false, 1.0, error), 1) << "no spectrum yet";
    EXPECT_EQ(error, "No spectrum to export");
    EXPECT_FALSE(fs::exists(state.psdFileName));

    // After a failed read psdSize can name a larger spectrum than the one
    // the buffer holds.
    ASSERT_TRUE(state.psd.allocate(5));
    for (std::size_t i = 0; i < 5; ++i)
        state.psd[i] = -20.0f;
    state.psdSize = 1024;
    state.psdValid = 1;
    ASSERT_EQ(exportPsd(state, true, 1.0, error), 0) << error;
    EXPECT_EQ(fileLines(state.psdFileName).size(), 2u);
    EXPECT_EQ(state.exportMinLog, -8.0);

    state.psdValid = 0;
    EXPECT_EQ(exportPsd(state, false, 1.0, error), 1) << "the last estimate failed";
}
