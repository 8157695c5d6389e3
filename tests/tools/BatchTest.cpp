#include "BatchHost.h"
#include "BatchOptions.h"
#include "BatchRun.h"
#include "BatchSummary.h"

#include "commands/Commands.h"
#include "core/CFormat.h"
#include "plot/StatisticsText.h"

#include "spectrum/PsdSize.h"
#include "support/FileContents.h"
#include "support/ScriptedHost.h"
#include "support/ShellQuote.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

// A single-column file of `rows` samples of a tone of `cyclesPerSample`.
fs::path writeTone(
    const fs::path& folder, const std::string& name, int rows, double cyclesPerSample)
{
    const fs::path file = folder / name;
    std::ofstream out(file);
    for (int i = 0; i < rows; ++i)
        out << formatC("%.9g\n", std::sin(2.0 * M_PI * cyclesPerSample * i));
    return file;
}

bool parse(std::vector<std::string> args, BatchOptions& options, std::string& error)
{
    args.insert(args.begin(), "welmo-psd");
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    return parseBatchOptions(static_cast<int>(argv.size()), argv.data(), options, error);
}

std::string contents(std::FILE* file)
{
    std::rewind(file);
    std::string text;
    for (int c; (c = std::fgetc(file)) != EOF;)
        text.push_back(static_cast<char>(c));
    return text;
}

} // namespace

TEST(BatchOptions, RefusesValuesOutsideTheirRangeNamingTheOption)
{
    const struct {
        std::vector<std::string> args;
        std::string error;
    } cases[] = {
        { { "--columns", "0", "f" }, "--columns: expected an integer from 1 to 100" },
        { { "--column", "101", "f" }, "--column: expected an integer from 1 to 100" },
        { { "--psd-size", "48", "f" }, "--psd-size: expected a power of two from 2 to 536870912" },
        { { "--psd-size", "1", "f" }, "--psd-size: expected a power of two from 2 to 536870912" },
        { { "--psd-size", "1073741824", "f" },
            "--psd-size: expected a power of two from 2 to 536870912" },
        { { "--segments", "10001", "f" }, "--segments: expected an integer from 1 to 10000" },
        { { "--shift", "-1", "f" }, "--shift: expected an integer from 0 to 69306016 or auto" },
        { { "--columns", "3", "--column", "4", "f" },
            "--column 4: the rows hold only 3 values (--columns)" },
        { { "--output", "o.dat", "f", "g" }, "--output: only with one data file" },
        { { "--render", "p.png", "f", "g" }, "--render: only with one data file" },
        { { "--follow", "2", "f", "g" }, "--follow: only with one data file" },
        { { "--follow", "0", "f" }, "--follow: expected seconds from 0.1 to 3600" },
        { { "--follow", "2", "--average", "4", "f" }, "--follow: not with --select or --average" },
        { { "--window", "kaiser", "f" }, "--window: expected none, hanning, parzen or welch" },
        { { "--lb", "1", "f" }, "--lb: expected an integer from 2 to 1000000" },
        { { "--min-level", "-31", "f" }, "--min-level: expected a number from -30 to 0" },
        { { "--min-level", "0,5", "f" }, "--min-level: expected a number from -30 to 0" },
        { { "--rows", "12x", "f" }, "--rows: expected an integer from 0 to 69306016" },
        { { "--size", "800x", "f" }, "--size: expected WxH with W and H from 1 to 20000" },
        { { "--header-tokens", "-1", "f" },
            "--header-tokens: expected an integer from 0 to 2147483647" },
        { { "--dt", "0", "f" }, "--dt: expected a finite number, not 0 nor too close to 0" },
        { { "--dt", "1e-300", "f" }, "--dt: expected a finite number, not 0 nor too close to 0" },
        { { "--dt", "inf", "f" }, "--dt: expected a finite number, not 0 nor too close to 0" },
        { { "--dt", "0,5", "f" }, "--dt: expected a finite number, not 0 nor too close to 0" },
        { { "--frobnicate", "1", "f" }, "--frobnicate: unknown option (see --help)" },
        { { "--help", "--bogus" }, "--bogus: unknown option (see --help)" },
        { { "f", "--weird.dat" }, "--weird.dat: unknown option (see --help)" },
        { { "--columns" }, "--columns: missing value" },
        { { "--size", "4294967297x600", "--render", "p.png", "f" },
            "--size: expected WxH with W and H from 1 to 20000" },
        { { "--size", "-4294966496x600", "--render", "p.png", "f" },
            "--size: expected WxH with W and H from 1 to 20000" },
        { { "--size", "640x480", "f" }, "--size: only with --render" },
        { { "--output", "", "f" }, "--output: expected the name of a file" },
        { { "--output", "folder/", "f" }, "--output: expected the name of a file" },
        { { "--render", "p.png", "--power-range", "1:1.0000000000000002", "f" },
            "--power-range: 1:1.0000000000000002 is too narrow to draw (HI - LO must be at "
            "least a millionth of the larger end)" },
        { { "--render", "p.png", "--frequency-range", "0.25:0.2500000001", "f" },
            "--frequency-range: 0.25:0.2500000001 is too narrow to draw (HI - LO must be at "
            "least a millionth of the larger end)" },
        { { "--comment", "x", "f" }, "--comment: expected #, % or !" },
        { { "--separator", "|", "f" }, "--separator: expected , ; or tab" },
        { { "--decimal-comma", "--separator", ",", "f" },
            "--decimal-comma: only with --separator ';'" },
        { { "--decimal-comma", "f" }, "--decimal-comma: only with --separator ';'" },
        { { "--fill-gaps", "spline", "f" }, "--fill-gaps: expected linear" },
        { { "--time-column", "0", "f" }, "--time-column: expected an integer from 1 to 100" },
        { { "--time-column", "3", "--columns", "2", "f" },
            "--time-column 3: the rows hold only 2 values (--columns)" },
        { { "--dt", "2", "--columns", "2", "--time-column", "1", "f" },
            "--time-column: not with --dt" },
        { { "--time-unit", " ", "f" }, "--time-unit: expected a name" },
        { { "--column", "3", "--columns", "2", "f" },
            "--column 3: the rows hold only 2 values (--columns)" },
        { {}, "no data file given (see --help)" },
    };
    for (const auto& c : cases) {
        BatchOptions options;
        std::string error;
        EXPECT_FALSE(parse(c.args, options, error)) << c.error;
        EXPECT_EQ(error, c.error);
    }
}

TEST(BatchOptions, TakesTheRecordsStartUpValuesByDefault)
{
    BatchOptions options;
    std::string error;
    ASSERT_TRUE(parse({ "--window", "welch", "--no-normalize", "--shift", "auto", "--psd-size",
                          "512", "--render", "p.png", "--size", "640x480", "data.dat" },
        options, error))
        << error;
    EXPECT_EQ(options.dataFile, "data.dat");
    EXPECT_EQ(options.windowType, 3);
    EXPECT_EQ(options.normalize, 0);
    EXPECT_TRUE(options.autoShift);
    EXPECT_EQ(options.psdSize.value_or(0), 512);
    EXPECT_EQ(options.renderWidth, 640);
    EXPECT_EQ(options.renderHeight, 480);
    EXPECT_EQ(options.headerTokens, 0);
    EXPECT_EQ(options.columnCount, 1);
    EXPECT_EQ(options.segmentCount, 1);
    EXPECT_EQ(options.lbFrequencies, 16);
    EXPECT_DOUBLE_EQ(options.minLevel, -15.0);
}

TEST(BatchOptions, BlanksAroundANumberCountForNothing)
{
    for (const char* dt : { "2", " 2", "2 ", "\t2 " }) {
        BatchOptions options;
        std::string error;
        ASSERT_TRUE(parse({ "--dt", dt, "--segments", dt, "--render", "p.png", "--size",
                              std::string(dt) + "x" + dt, "f" },
            options, error))
            << "'" << dt << "': " << error;
        EXPECT_EQ(options.dt, 2.0);
        EXPECT_EQ(options.segmentCount, 2);
        EXPECT_EQ(options.renderWidth, 2);
        EXPECT_EQ(options.renderHeight, 2);
    }
}

TEST(BatchOptions, TakesEveryOtherArgumentAsAFileInOrder)
{
    const struct {
        std::vector<std::string> args;
        std::vector<std::string> files;
    } cases[] = {
        { { "a.dat", "--segments", "2", "b.dat", "-" }, { "a.dat", "b.dat", "-" } },
        { { "a.dat", "--", "--segments", "--" }, { "a.dat", "--segments", "--" } },
        { { "--output", "o.dat", "a.dat" }, { "a.dat" } },
    };
    for (const auto& c : cases) {
        BatchOptions options;
        std::string error;
        ASSERT_TRUE(parse(c.args, options, error)) << error;
        EXPECT_EQ(options.dataFiles, c.files);
        EXPECT_EQ(options.dataFile, c.files.front());
    }
}

TEST(BatchRun, EstimatesTheLargestSpectrumAndExportsItUnderTheDerivedName)
{
    TempFolder folder;
    // 1/16 cycle per sample lies on bin 2M/16 of any M >= 8.
    const fs::path data = writeTone(folder.path(), "tone.dat", 4096, 1.0 / 16.0);
    BatchOptions options;
    options.dataFile = data.string();
    AnalysisState state;
    std::string error;
    ASSERT_EQ(runBatch(options, state, error), BATCH_OK) << error;

    EXPECT_EQ(state.sampleCount, 4096u);
    EXPECT_EQ(state.psdSize, 2048);
    EXPECT_DOUBLE_EQ(state.peakFrequency, 256.0 / 2048.0);
    EXPECT_EQ(state.psdFileName, (folder.path() / "tonep.dat").string());
    const std::vector<std::string> exported = fileLines(folder.path() / "tonep.dat");
    ASSERT_EQ(exported.size(), 2046u);
    EXPECT_EQ(exported.front().substr(0, 10), "-3.311330 ");
}

TEST(BatchRun, AutomaticShiftSpreadsTheSegmentsAsTheDialogDoes)
{
    TempFolder folder;
    const fs::path data = writeTone(folder.path(), "tone.dat", 4096, 0.1);
    const struct {
        int M, K, shift;
    } cases[] = { { 1024, 3, 682 }, { 512, 2, 1024 }, { 1024, 1, 0 } };
    for (const auto& c : cases) {
        BatchOptions options;
        options.dataFile = data.string();
        options.psdSize = c.M;
        options.segmentCount = c.K;
        options.autoShift = true;
        options.output = (folder.path() / "out.dat").string();
        AnalysisState state;
        std::string error;
        EXPECT_EQ(runBatch(options, state, error), BATCH_OK) << error;
        EXPECT_EQ(state.dataShift, c.shift) << c.M << " " << c.K;
        EXPECT_EQ(state.psdSize, c.M);
    }
}

TEST(BatchRun, ReportsEachFailureWithTheSystemsMessageAndStatus)
{
    TempFolder folder;
    const fs::path few = writeTone(folder.path(), "few.dat", 31, 0.1);
    const fs::path hundred = writeTone(folder.path(), "hundred.dat", 100, 0.1);
    const fs::path missing = folder.path() / "missing.dat";
    const struct {
        fs::path file;
        std::optional<unsigned> rows;
        std::optional<int> psdSize;
        std::optional<std::string> output;
        BatchStatus status;
        std::string error;
    } cases[] = {
        { few, {}, {}, {}, BATCH_DATA_ERROR, "Too few data" },
        { missing, {}, {}, {}, BATCH_DATA_ERROR, "File not found" },
        { folder.path(), {}, {}, {}, BATCH_DATA_ERROR,
            "Cannot read " + folder.path().string() + ": Is a directory" },
        { missing, 64u, {}, {}, BATCH_DATA_ERROR, "Error in file \n 0 data retrieved" },
        { hundred, 150u, {}, {}, BATCH_DATA_ERROR, "Error in file \n 100 data retrieved" },
        { hundred, {}, 64, {}, BATCH_CONFIGURATION_ERROR, "PSD configuration is not appropriate" },
        { hundred, {}, {}, (folder.path() / "no" / "such.dat").string(), BATCH_WRITE_ERROR,
            "Cannot write file " + (folder.path() / "no" / "such.dat").string()
                + "\nNo such file or directory" },
    };
    for (const auto& c : cases) {
        BatchOptions options;
        options.dataFile = c.file.string();
        options.rows = c.rows;
        options.psdSize = c.psdSize;
        options.output = c.output;
        AnalysisState state;
        std::string error;
        EXPECT_EQ(runBatch(options, state, error), c.status) << c.error;
        EXPECT_EQ(error, c.error);
    }
}

// The export replaces neither the data nor an earlier file's spectrum,
// which run.1.dat and run.2.dat would otherwise share; both stay intact.
TEST(BatchRun, RefusesAnExportOverTheDataOrAnEarlierSpectrum)
{
    TempFolder folder;
    const fs::path first = writeTone(folder.path(), "run.1.dat", 256, 0.1);
    const fs::path second = writeTone(folder.path(), "run.2.dat", 256, 0.2);
    const std::string shared = (folder.path() / "runp.dat").string();
    const std::vector<std::string> before = fileLines(second);
    const struct {
        std::optional<std::string> output;
        std::vector<std::string> kept;
        std::string error;
    } cases[] = {
        { second.string(), {}, "Cannot write file " + second.string() + "\nIt is the data file" },
        { {}, { shared },
            "Cannot write file " + shared
                + "\nIt holds the spectrum of an earlier file of this run" },
    };
    BatchOptions firstOptions;
    firstOptions.dataFile = first.string();
    AnalysisState firstState;
    std::string error;
    ASSERT_EQ(runBatch(firstOptions, firstState, error), BATCH_OK) << error;
    const std::vector<std::string> exported = fileLines(shared);
    for (const auto& c : cases) {
        BatchOptions options;
        options.dataFile = second.string();
        options.output = c.output;
        AnalysisState state;
        EXPECT_EQ(runBatch(options, state, error, nullptr, c.kept), BATCH_WRITE_ERROR);
        EXPECT_EQ(error, c.error);
    }
    EXPECT_EQ(fileLines(second), before);
    EXPECT_EQ(fileLines(shared), exported);
}

TEST(BatchProgram, PrintsTheStatisticsBlockAndExitsWithItsStatus)
{
    TempFolder folder;
    const fs::path data = writeTone(folder.path(), "tone.dat", 4096, 1.0 / 16.0);
    const fs::path out = folder.path() / "stdout.txt";
    const fs::path err = folder.path() / "stderr.txt";
    auto run = [&](const std::string& args) {
        const std::string command = shellQuoted(WELMO_PSD_PATH) + " " + args + " >"
            + shellQuoted(out) + " 2>" + shellQuoted(err);
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };

    ASSERT_EQ(run(shellQuoted(data)), 0);
    const std::vector<std::string> printed = fileLines(out);
    ASSERT_EQ(printed.size(), 10u);
    EXPECT_EQ(printed[1], "N=4096");
    EXPECT_EQ(printed[2], "(Original data)");
    EXPECT_EQ(printed[6], "PSD size =2048");
    EXPECT_EQ(printed[7], "Max Peak at 0.125000");
    EXPECT_EQ(printed[8].substr(0, 9), "LB(16) = ");
    EXPECT_EQ(printed[9],
        data.string() + ": 4096 samples, M = 2048, peak 0.125000, " + printed[8] + ", exported to "
            + (folder.path() / "tonep.dat").string());

    EXPECT_EQ(run("--columns 0 " + shellQuoted(data)), 2);
    EXPECT_EQ(fileLines(err).at(0), "welmo-psd: --columns: expected an integer from 1 to 100");
    EXPECT_EQ(run("--rows 5000 " + shellQuoted(data)), 1);
    // The window's two-line message on one line.
    EXPECT_EQ(fileLines(err),
        (std::vector<std::string> {
            "welmo-psd: " + data.string() + ": Error in file: 4096 data retrieved" }));
    EXPECT_EQ(run("--psd-size 4096 " + shellQuoted(data)), 3);
    EXPECT_EQ(run("--help"), 0);
    EXPECT_EQ(run("--version"), 0);
    EXPECT_EQ(fileLines(out).at(0), "welmo-psd 1.0");
}

// Real data, as the manual's example reads it: the CSV header found, the
// years as the time step, and the solar cycle's 11 years as the peak.
TEST(BatchProgram, FindsTheSolarCycleInTheBundledSunspotNumbers)
{
    TempFolder folder;
    const fs::path data = folder.path() / "sunspots.csv";
    fs::copy_file(fs::path(WELMO_EXAMPLES) / "sunspots.csv", data);
    const fs::path out = folder.path() / "stdout.txt";
    const std::string command = shellQuoted(WELMO_PSD_PATH)
        + " --detect --column 2 --time-column 1 --time-unit yr " + shellQuoted(data) + " >"
        + shellQuoted(out);
    ASSERT_EQ(std::system(command.c_str()), 0);
    const std::vector<std::string> printed = fileLines(out);
    ASSERT_FALSE(printed.empty());
    EXPECT_EQ(printed.front().substr(0, 15), "Y scale min=-38");
    EXPECT_EQ(printed.back(),
        data.string() + ": 309 samples, M = 128, peak 0.179688, LB(16) = -0.54, exported to "
            + (folder.path() / "sunspotsp.dat").string()
            + ", peak frequency 0.0898438 per yr, period 11.1304 yr");
}

// Values that no run could use are refused before any file is read, and a
// folder is named as what it is; neither leaves an export behind.
TEST(BatchProgram, RefusesUnusableValuesAndFoldersBeforeEstimating)
{
    TempFolder folder;
    const fs::path data = writeTone(folder.path(), "tone.dat", 4096, 1.0 / 16.0);
    const fs::path exported = folder.path() / "out.dat";
    const fs::path err = folder.path() / "stderr.txt";
    const struct {
        std::string args;
        int status;
        std::string message;
    } cases[] = {
        { "--header-tokens -1 " + shellQuoted(data), 2,
            "welmo-psd: --header-tokens: expected an integer from 0 to 2147483647" },
        { "--normal-scales --dt 1e-300 " + shellQuoted(data), 2,
            "welmo-psd: --dt: expected a finite number, not 0 nor too close to 0" },
        { shellQuoted(folder.path()), 1,
            "welmo-psd: " + folder.path().string() + ": Cannot read " + folder.path().string()
                + ": Is a directory" },
    };
    for (const auto& c : cases) {
        const std::string command = shellQuoted(WELMO_PSD_PATH) + " --output "
            + shellQuoted(exported) + " " + c.args + " >/dev/null 2>" + shellQuoted(err);
        const int status = std::system(command.c_str());
        EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, c.status) << c.args;
        EXPECT_EQ(fileLines(err), std::vector<std::string> { c.message }) << c.args;
        EXPECT_FALSE(fs::exists(exported)) << c.args;
    }
}

// Each file its own run and export beside it; the status is the worst.
TEST(BatchProgram, RunsEveryFileAndExitsWithTheWorstStatus)
{
    TempFolder folder;
    fs::create_directory(folder.path() / "sub.dir");
    const fs::path first = writeTone(folder.path() / "sub.dir", "a.dat", 4096, 1.0 / 16.0);
    const fs::path second = writeTone(folder.path(), "b.dat", 1024, 1.0 / 8.0);
    const fs::path missing = folder.path() / "missing.dat";
    const fs::path out = folder.path() / "stdout.txt";
    const fs::path err = folder.path() / "stderr.txt";
    const std::string command = shellQuoted(WELMO_PSD_PATH) + " " + shellQuoted(first) + " "
        + shellQuoted(missing) + " " + shellQuoted(second) + " >" + shellQuoted(out) + " 2>"
        + shellQuoted(err);
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);

    const std::vector<std::string> printed = fileLines(out);
    ASSERT_EQ(printed.size(), 20u);
    EXPECT_EQ(printed[1], "N=4096");
    EXPECT_EQ(printed[9],
        first.string() + ": 4096 samples, M = 2048, peak 0.125000, " + printed[8] + ", exported to "
            + (folder.path() / "sub.dir" / "ap.dat").string());
    EXPECT_EQ(printed[11], "N=1024");
    EXPECT_EQ(printed[19],
        second.string() + ": 1024 samples, M = 512, peak 0.250000, " + printed[18]
            + ", exported to " + (folder.path() / "bp.dat").string());
    EXPECT_TRUE(fs::exists(folder.path() / "sub.dir" / "ap.dat"));
    EXPECT_EQ(fileLines(err),
        std::vector<std::string> { "welmo-psd: " + missing.string() + ": File not found" });
}

TEST(BatchRun, AutomaticShiftWithoutASizeUsesTheSizeRetrieveDataChose)
{
    TempFolder folder;
    const fs::path data = writeTone(folder.path(), "tone.dat", 4096, 0.1);
    BatchOptions options;
    options.dataFile = data.string();
    options.segmentCount = 4;
    options.autoShift = true;
    AnalysisState state;
    std::string error;
    ASSERT_EQ(runBatch(options, state, error), BATCH_OK) << error;
    EXPECT_EQ(state.psdSize, 2048);
    EXPECT_EQ(state.dataShift, automaticShift(4096, 2048, 4));
    EXPECT_EQ(state.computeStatus, 0);
}

// On a terminal the progress line names the file and the step, is
// rewritten in place and is cleared at the end of each step; anywhere
// else nothing is written.
TEST(BatchRun, ProgressIsOneRewrittenLineOnATerminalAndNothingElsewhere)
{
    TempFolder folder;
    const fs::path data = writeTone(folder.path(), "tone.dat", 4096, 0.1);
    for (const bool terminal : { true, false }) {
        BatchOptions options;
        options.dataFile = data.string();
        AnalysisState state;
        std::string error;
        std::FILE* file = std::tmpfile();
        ASSERT_NE(file, nullptr);
        ASSERT_EQ(runBatch(options, state, error, progressStream(file, terminal)), BATCH_OK)
            << error;
        const std::string text = contents(file);
        std::fclose(file);
        if (!terminal) {
            EXPECT_EQ(text, "");
            continue;
        }
        EXPECT_EQ(text.find('\n'), std::string::npos);
        // The rows are read in one pass, not counted first.
        EXPECT_EQ(text.find("Counting rows"), std::string::npos);
        for (const char* step : { "Reading data", "Estimating spectrum", "Exporting spectrum" }) {
            const std::string line = "\rwelmo-psd: " + data.string() + ": " + step;
            EXPECT_NE(text.find(line + "   0%"), std::string::npos) << step;
            EXPECT_EQ(text.find(line + " 100%"), std::string::npos) << step;
        }
        ASSERT_FALSE(text.empty());
        EXPECT_EQ(text.back(), '\r');
    }
}

// The line itself, driven step by step: a percentage is written once, a
// nested shorter step blanks what the longer one left, and the end of a
// step wipes the line. A pipe is no terminal and gets nothing.
TEST(BatchHost, ProgressRewritesOneLineAndWipesItAtTheEndOfAStep)
{
    BatchOptions options;
    options.dataFile = "run.dat";
    AnalysisState state;
    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    {
        BatchHost host(options, state, file);
        host.progress("Estimating spectrum", 0.0);
        host.progress("Estimating spectrum", 0.004);
        host.progress("Estimating spectrum", 0.5);
        host.progress("Estimating spectrum", 0.509);
        host.progress("Drawing", 0.5);
        host.progress("Drawing", 1.0);
        host.progress("Reading data", 0.0);
        host.progress("Reading data", 1.0);
    }
    const std::string estimate = "welmo-psd: run.dat: Estimating spectrum";
    const std::string longest(estimate.size() + 5, ' ');
    const std::string reading = "welmo-psd: run.dat: Reading data   0%";
    EXPECT_EQ(contents(file),
        "\r" + estimate + "   0%" + "\r" + estimate + "  50%" + "\rwelmo-psd: run.dat: Drawing  50%"
            + std::string(estimate.size() - std::string("welmo-psd: run.dat: Drawing").size(), ' ')
            + "\r" + longest + "\r" + "\r" + reading + "\r" + std::string(reading.size(), ' ')
            + "\r");
    std::fclose(file);

    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    std::FILE* pipe = ::fdopen(ends[1], "w");
    ASSERT_NE(pipe, nullptr);
    EXPECT_EQ(progressStream(pipe, ::isatty(::fileno(pipe)) == 1), nullptr);
    std::fclose(pipe);
    ::close(ends[0]);
}

#if WELMO_WITH_RENDER
TEST(BatchProgram, RendersTheWindowsPictureIntoAPngOfTheGivenSize)
{
    TempFolder folder;
    const fs::path data = writeTone(folder.path(), "tone.dat", 4096, 1.0 / 16.0);
    const fs::path png = folder.path() / "picture.png";
    const std::string command = "QT_QPA_PLATFORM=offscreen " + shellQuoted(WELMO_PSD_PATH)
        + " --render " + shellQuoted(png) + " --size 320x200 " + shellQuoted(data)
        + " >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    std::ifstream in(png, std::ios::binary);
    std::vector<unsigned char> header(24);
    in.read(reinterpret_cast<char*>(header.data()), 24);
    ASSERT_TRUE(in);
    EXPECT_EQ(std::string(header.begin() + 1, header.begin() + 4), "PNG");
    // The IHDR chunk holds width and height as big-endian 32-bit numbers.
    auto bigEndian = [&](int at) {
        return (header[at] << 24) | (header[at + 1] << 16) | (header[at + 2] << 8) | header[at + 3];
    };
    EXPECT_EQ(bigEndian(16), 320);
    EXPECT_EQ(bigEndian(20), 200);
}
#endif

namespace {

// The window's commands on `data` through a scripted host: Retrieve Data of
// every row, the edits as their dialogs' OK hands them back, then Export
// PSD to `target`.
void runWindowSequences(const fs::path& data, unsigned rows, const std::vector<SeriesEdit>& edits,
    bool normalScales, double dt, const fs::path& target, AnalysisState& state)
{
    resetAnalysisState(state);
    ScriptedHost host(state);
    host.timeSeriesDialog = [&](AnalysisState& record) {
        record.dataFileName = data.string();
        record.headerTokens = 0;
        record.columnCount = 1;
        record.dataColumn = 1;
        record.sampleCount = rows;
        return true;
    };
    retrieveData(state, host);
    for (const SeriesEdit& edit : edits) {
        host.selectSegmentDialog = [&](const AnalysisState&) {
            return SegmentChoice { edit.from, edit.to };
        };
        host.runningAverageDialog = [&](const AnalysisState&) { return edit.window; };
        if (edit.kind == SeriesEdit::SELECT_SEGMENT)
            selectSegment(state, host);
        else
            runningAverage(state, host);
    }
    host.exportPsdDialog = [&](const AnalysisState& record) {
        return ExportChoice { target.string(), record.exportMinLog, normalScales, dt };
    };
    exportPsdFile(state, host);
    EXPECT_TRUE(host.messages.empty()) << host.messages.front();
}

bool sameBits(const FloatBuffer& a, const FloatBuffer& b, std::size_t count)
{
    return a.size() >= count && b.size() >= count
        && std::memcmp(a.data(), b.data(), count * sizeof(float)) == 0;
}

} // namespace

// --select and --average against the window's Select Segment and Running
// Average on the same file: the same series to the bit, the same spectrum
// and the same export bytes.
TEST(BatchRun, EditsGiveWhatTheWindowsCommandsGive)
{
    TempFolder folder;
    const fs::path data = writeTone(folder.path(), "tone.dat", 2048, 0.123);
    const struct {
        std::vector<std::string> args;
        std::vector<SeriesEdit> edits;
        bool normalScales;
        double dt;
    } cases[] = {
        { { "--select", "101:900" }, { { SeriesEdit::SELECT_SEGMENT, 101, 900, 2 } }, false, 1.0 },
        { { "--average", "7" }, { { SeriesEdit::RUNNING_AVERAGE, 1, 0, 7 } }, false, 1.0 },
        // In the order given: a cut, a smoothing of the cut, a cut of that.
        { { "--select", "50:1500", "--average", "3", "--select", "10:700" },
            { { SeriesEdit::SELECT_SEGMENT, 50, 1500, 2 }, { SeriesEdit::RUNNING_AVERAGE, 1, 0, 3 },
                { SeriesEdit::SELECT_SEGMENT, 10, 700, 2 } },
            false, 1.0 },
        // A window longer than the series after the cut.
        { { "--select", "1:600", "--average", "1000", "--normal-scales", "--dt", "0.5" },
            { { SeriesEdit::SELECT_SEGMENT, 1, 600, 2 },
                { SeriesEdit::RUNNING_AVERAGE, 1, 0, 1000 } },
            true, 0.5 },
    };
    for (const auto& c : cases) {
        const std::string label = c.args[0] + " " + c.args[1] + (c.args.size() > 2 ? " ..." : "");
        const fs::path batchExport = folder.path() / "batch.dat";
        const fs::path windowExport = folder.path() / "window.dat";
        std::vector<std::string> args = c.args;
        args.insert(args.end(), { "--output", batchExport.string(), data.string() });
        BatchOptions options;
        std::string error;
        ASSERT_TRUE(parse(args, options, error)) << error;
        AnalysisState batch;
        resetAnalysisState(batch);
        ASSERT_EQ(runBatch(options, batch, error), BATCH_OK) << label << ": " << error;

        AnalysisState window;
        runWindowSequences(data, 2048, c.edits, c.normalScales, c.dt, windowExport, window);

        ASSERT_EQ(batch.sampleCount, window.sampleCount) << label;
        EXPECT_EQ(batch.isOriginal, 0) << label;
        EXPECT_TRUE(sameBits(batch.series, window.series, batch.sampleCount + 1u)) << label;
        ASSERT_EQ(batch.psdSize, window.psdSize) << label;
        EXPECT_TRUE(sameBits(batch.psd, window.psd, batch.psdSize + 1u)) << label;
        EXPECT_EQ(batch.exportMinLog, window.exportMinLog) << label;
        EXPECT_FALSE(fileBytes(batchExport).empty()) << label;
        EXPECT_EQ(fileBytes(batchExport), fileBytes(windowExport)) << label;
    }
}

TEST(BatchRun, RefusesEditsTheWindowWouldRefuse)
{
    TempFolder folder;
    const fs::path data = writeTone(folder.path(), "tone.dat", 1000, 0.1);
    const std::string average = "--average: Please enter an integer between 2 and 1000.";
    const std::string select = "--select: expected FROM:TO, two integers";
    // Refused before any file is read.
    const struct {
        std::vector<std::string> args;
        std::string error;
    } usage[] = {
        { { "--average", "1" }, average },
        { { "--average", "1001" }, average },
        { { "--average", "2.5" }, average },
        { { "--select", "5" }, select },
        { { "--select", "5:x" }, select },
        { { "--select", ":5" }, select },
        { { "--select", "1:2147483648" }, select },
    };
    for (const auto& c : usage) {
        std::vector<std::string> args = c.args;
        args.push_back(data.string());
        BatchOptions options;
        std::string error;
        EXPECT_FALSE(parse(args, options, error)) << c.args[1];
        EXPECT_EQ(error, c.error) << c.args[1];
    }
    // Refused once the series is known, with the window's messages.
    const struct {
        std::vector<std::string> args;
        BatchStatus status;
        std::string error;
    } run[] = {
        { { "--select", "1:1001" }, BATCH_USAGE_ERROR, "Segment out of legal range" },
        { { "--select", "0:10" }, BATCH_USAGE_ERROR, "Segment out of legal range" },
        { { "--select", "11:10" }, BATCH_USAGE_ERROR, "Segment out of legal range" },
        { { "--average", "5", "--select", "-3:10" }, BATCH_USAGE_ERROR,
            "Segment out of legal range" },
        { { "--select", "7:7" }, BATCH_CONFIGURATION_ERROR,
            "PSD configuration is not appropriate" },
    };
    for (const auto& c : run) {
        const fs::path out = folder.path() / "out.dat";
        std::vector<std::string> args = c.args;
        args.insert(args.end(), { "--output", out.string(), data.string() });
        BatchOptions options;
        std::string error;
        ASSERT_TRUE(parse(args, options, error)) << error;
        AnalysisState state;
        resetAnalysisState(state);
        EXPECT_EQ(runBatch(options, state, error), c.status) << c.args[1];
        EXPECT_EQ(error, c.error) << c.args[1];
        EXPECT_FALSE(fs::exists(out)) << c.args[1] << ": nothing exported";
    }
}

TEST(BatchOptions, PictureOptionsNameTheirRangesAndNeedRender)
{
    const struct {
        std::vector<std::string> args;
        std::string error;
    } refused[] = {
        { { "--render", "p.gif", "f" },
            "--render: expected a name ending in .png, .jpg, .jpeg, .svg or .pdf" },
        { { "--render", "picture", "f" },
            "--render: expected a name ending in .png, .jpg, .jpeg, .svg or .pdf" },
        { { "--render", "dir.png/picture", "f" },
            "--render: expected a name ending in .png, .jpg, .jpeg, .svg or .pdf" },
        { { "--render", "p.png", "--frequency-range", "0:0.5", "f" },
            "--frequency-range: expected LO:HI with 0 < LO < HI <= 0.5" },
        { { "--render", "p.png", "--frequency-range", "0.1:0.6", "f" },
            "--frequency-range: expected LO:HI with 0 < LO < HI <= 0.5" },
        { { "--render", "p.png", "--frequency-range", "0.3:0.2", "f" },
            "--frequency-range: expected LO:HI with 0 < LO < HI <= 0.5" },
        { { "--render", "p.png", "--frequency-range", "0.1", "f" },
            "--frequency-range: expected LO:HI with 0 < LO < HI <= 0.5" },
        { { "--render", "p.png", "--power-range", "-2:-2", "f" },
            "--power-range: expected LO:HI with LO < HI" },
        { { "--render", "p.png", "--power-range", "-8:nan", "f" },
            "--power-range: expected LO:HI with LO < HI" },
        { { "--axes", "f" }, "--axes: only with --render" },
        { { "--power-range", "-8:0", "f" }, "--power-range: only with --render" },
    };
    for (const auto& c : refused) {
        BatchOptions options;
        std::string error;
        EXPECT_FALSE(parse(c.args, options, error)) << c.error;
        EXPECT_EQ(error, c.error);
    }

    BatchOptions options;
    std::string error;
    ASSERT_TRUE(parse({ "--render", "p.SVG", "--axes", "--frequency-range", "1e-3:0.5",
                          "--power-range", "-8.5:0", "f" },
        options, error))
        << error;
    EXPECT_TRUE(options.axes);
    ASSERT_TRUE(options.frequencyRange);
    EXPECT_DOUBLE_EQ(options.frequencyRange->first, 0.001);
    EXPECT_DOUBLE_EQ(options.frequencyRange->second, 0.5);
    ASSERT_TRUE(options.powerRange);
    EXPECT_DOUBLE_EQ(options.powerRange->first, -8.5);
    EXPECT_DOUBLE_EQ(options.powerRange->second, 0.0);
}

#if WELMO_WITH_RENDER
// The suffix picks the format, as File > Export Picture does; the axes
// and ranges change the picture; another suffix is a usage error before
// anything is read or written.
TEST(BatchProgram, RendersTheFormatTheNameAsksForWithAxesAndRanges)
{
    TempFolder folder;
    const fs::path data = writeTone(folder.path(), "tone.dat", 4096, 1.0 / 16.0);
    auto render = [&](const std::string& name, const std::string& extra) {
        const std::string command = std::string("QT_QPA_PLATFORM=offscreen ")
            + shellQuoted(WELMO_PSD_PATH) + " --render "
            + shellQuoted((folder.path() / name).string()) + " " + extra + " "
            + shellQuoted(data.string()) + " >/dev/null 2>&1";
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    auto bytes = [&](const std::string& name) {
        std::ifstream in(folder.path() / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    EXPECT_EQ(render("p.bmp", ""), 2);
    EXPECT_FALSE(fs::exists(folder.path() / "p.bmp"));
    EXPECT_FALSE(fs::exists(folder.path() / "tonep.dat")) << "nothing read or written";

    ASSERT_EQ(render("p.svg", ""), 0);
    EXPECT_NE(bytes("p.svg").find("<svg"), std::string::npos);
    ASSERT_EQ(render("p.pdf", ""), 0);
    EXPECT_EQ(bytes("p.pdf").rfind("%PDF-", 0), 0u);
    ASSERT_EQ(render("p.jpg", ""), 0);
    EXPECT_EQ(bytes("p.jpg").rfind("\xFF\xD8\xFF", 0), 0u);

    ASSERT_EQ(render("plain.png", "--size 400x300"), 0);
    ASSERT_EQ(render("plain2.png", "--size 400x300"), 0);
    ASSERT_EQ(render("axes.png", "--size 400x300 --axes"), 0);
    ASSERT_EQ(
        render("zoomed.png", "--size 400x300 --frequency-range 0.05:0.1 --power-range -9:0"), 0);
    EXPECT_EQ(bytes("plain.png"), bytes("plain2.png"));
    EXPECT_NE(bytes("axes.png"), bytes("plain.png"));
    EXPECT_NE(bytes("zoomed.png"), bytes("plain.png"));
    EXPECT_TRUE(fs::exists(folder.path() / "tonep.dat"));
}
#endif

namespace {

// What a run leaves for the user to see.
struct RunOutcome {
    AnalysisState state;
    std::string message; // the first one, "" when none
    std::string exportName;
    std::string exportBytes;
    std::vector<std::string> printed; // the statistics block and the summary
    int estimates = 0;
};

// The file's export, read and removed, so that the next run writes afresh.
void takeExport(const fs::path& data, RunOutcome& outcome)
{
    outcome.exportName = outcome.state.psdFileName;
    if (outcome.message.empty()) {
        outcome.exportBytes = fileBytes(outcome.exportName);
        outcome.printed = statisticsTexts(outcome.state);
        outcome.printed.push_back(batchSummary(data.string(), outcome.state));
    }
    std::error_code ignored;
    fs::remove(outcome.exportName, ignored);
}

int countOf(const std::string& text, const std::string& part)
{
    int count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

// The same run with every command estimating at once, as in the window.
RunOutcome runEstimatingEveryCommand(const fs::path& data, const BatchOptions& options)
{
    RunOutcome outcome;
    resetAnalysisState(outcome.state);
    std::string error;
    std::FILE* progress = std::tmpfile();
    const BatchStatus status = runBatch(options, outcome.state, error, progress, {}, false);
    outcome.estimates = countOf(contents(progress), "Estimating spectrum   0%");
    std::fclose(progress);
    outcome.message = status == BATCH_OK ? "" : error;
    takeExport(data, outcome);
    return outcome;
}

} // namespace

// welmo-psd estimates once, at the configuration of its last command, and
// leaves what the window's commands leave when each estimates in turn: the
// same series and spectrum bits, export name and bytes, printed lines,
// messages and statuses, also where an earlier estimate would fail and a
// later one would not, or the opposite.
TEST(BatchRun, EstimatesOnceAndGivesWhatTheWindowsCommandsGive)
{
    TempFolder folder;
    const fs::path data = writeTone(folder.path(), "tone.dat", 5000, 0.0371);
    const struct {
        std::vector<std::string> args;
        BatchStatus status;
        int estimates;
    } cases[] = {
        { {}, BATCH_OK, 1 },
        { { "--psd-size", "256" }, BATCH_OK, 1 },
        { { "--shift", "auto" }, BATCH_OK, 1 },
        { { "--segments", "8", "--shift", "auto" }, BATCH_OK, 1 },
        { { "--segments", "8", "--shift", "300" }, BATCH_OK, 1 },
        { { "--segments", "8", "--shift", "300", "--psd-size", "512", "--window", "welch" },
            BATCH_OK, 1 },
        { { "--select", "101:4000", "--average", "5", "--psd-size", "512", "--no-normalize" },
            BATCH_OK, 1 },
        { { "--segments", "4", "--select", "1:2000", "--shift", "auto" }, BATCH_OK, 1 },
        // The largest size fits, the size asked for does not.
        { { "--segments", "4", "--shift", "1000", "--psd-size", "1024" }, BATCH_CONFIGURATION_ERROR,
            1 },
        { { "--average", "4", "--select", "1:3000", "--psd-size", "4096" },
            BATCH_CONFIGURATION_ERROR, 1 },
        // No size fits at Retrieve Data: the run ends there, whatever follows.
        { { "--segments", "10", "--shift", "600", "--average", "5", "--psd-size", "2" },
            BATCH_CONFIGURATION_ERROR, 1 },
        // Retrieve Data's estimate fits, the cut leaves too few samples.
        { { "--segments", "20", "--shift", "200", "--select", "1:3000" }, BATCH_CONFIGURATION_ERROR,
            1 },
        { { "--segments", "20", "--shift", "200", "--select", "1:3000", "--average", "3",
              "--psd-size", "2" },
            BATCH_CONFIGURATION_ERROR, 1 },
        // A refused cut ends the run before any estimate.
        { { "--select", "1:6000", "--average", "3" }, BATCH_USAGE_ERROR, 0 },
    };
    for (const auto& c : cases) {
        std::string label;
        for (const std::string& arg : c.args)
            label += arg + " ";
        std::vector<std::string> args = c.args;
        args.push_back(data.string());
        BatchOptions options;
        std::string error;
        ASSERT_TRUE(parse(args, options, error)) << error;

        RunOutcome batch;
        resetAnalysisState(batch.state);
        std::FILE* progress = std::tmpfile();
        ASSERT_NE(progress, nullptr);
        EXPECT_EQ(runBatch(options, batch.state, error, progress), c.status) << label << error;
        batch.estimates = countOf(contents(progress), "Estimating spectrum   0%");
        std::fclose(progress);
        batch.message = c.status == BATCH_OK ? "" : error;
        takeExport(data, batch);

        const RunOutcome window = runEstimatingEveryCommand(data, options);
        EXPECT_EQ(batch.estimates, c.estimates) << label;
        EXPECT_GE(window.estimates, batch.estimates) << label;
        EXPECT_EQ(batch.message, window.message) << label;
        EXPECT_EQ(batch.exportName, window.exportName) << label;
        EXPECT_EQ(batch.exportBytes, window.exportBytes) << label;
        EXPECT_EQ(batch.printed, window.printed) << label;
        if (c.status != BATCH_OK)
            continue;
        EXPECT_FALSE(batch.exportBytes.empty()) << label;
        ASSERT_EQ(batch.state.sampleCount, window.state.sampleCount) << label;
        EXPECT_TRUE(sameBits(batch.state.series, window.state.series, batch.state.sampleCount + 1u))
            << label;
        ASSERT_EQ(batch.state.psdSize, window.state.psdSize) << label;
        EXPECT_EQ(batch.state.dataShift, window.state.dataShift) << label;
        EXPECT_TRUE(sameBits(batch.state.psd, window.state.psd, batch.state.psdSize + 1u)) << label;
    }
}

#if WELMO_WITH_RENDER
// The picture never replaces what the run reads or writes: its data file
// or its own export, whatever name leads there; both stay as they were.
TEST(BatchProgram, RenderRefusesTheDataFileAndTheRunsOwnExport)
{
    TempFolder folder;
    const fs::path data = writeTone(folder.path(), "tone.svg", 4096, 1.0 / 16.0);
    const fs::path exported = folder.path() / "spectrum.png";
    const fs::path err = folder.path() / "stderr.txt";
    const std::string dataBytes = fileBytes(data);
    const struct {
        std::string args;
        fs::path picture;
        std::string reason;
    } cases[] = {
        { "--render " + shellQuoted(data), data, "It is the data file" },
        { "--output " + shellQuoted(exported) + " --render "
                + shellQuoted(folder.path() / "." / "spectrum.png"),
            folder.path() / "." / "spectrum.png", "It holds the spectrum of this run" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        const std::string command = shellQuoted(WELMO_PSD_PATH) + " " + c.args + " "
            + shellQuoted(data) + " >/dev/null 2>" + shellQuoted(err);
        const int status = std::system(command.c_str());
        EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 4);
        EXPECT_EQ(fileLines(err),
            std::vector<std::string> { "welmo-psd: " + data.string() + ": Cannot write file "
                + c.picture.string() + ": " + c.reason });
        EXPECT_EQ(fileBytes(data), dataBytes);
    }
    EXPECT_EQ(fileBytes(exported).substr(0, 1), "-") << "the export, not a picture";
}

// The picture is drawn beside the export but written only after it: an
// export that fails leaves no picture.
TEST(BatchProgram, AFailedExportWritesNoPicture)
{
    TempFolder folder;
    const fs::path data = writeTone(folder.path(), "tone.dat", 4096, 1.0 / 16.0);
    const fs::path picture = folder.path() / "p.png";
    const fs::path exported = folder.path() / "missing" / "spectrum.dat";
    const std::string command = shellQuoted(WELMO_PSD_PATH) + " --output " + shellQuoted(exported)
        + " --render " + shellQuoted(picture) + " " + shellQuoted(data) + " >/dev/null 2>/dev/null";
    const int status = std::system(command.c_str());
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 4);
    EXPECT_FALSE(fs::exists(picture));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator {}), 1)
        << "only the data file; no picture's temporary file either";
}
#endif

// A file that is there but may not be read is not "File not found".
TEST(BatchRun, AnUnreadableFileGivesTheSystemsReason)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root reads any file";
    TempFolder folder;
    const fs::path data = writeTone(folder.path(), "locked.dat", 256, 0.1);
    fs::permissions(data, fs::perms::none);
    BatchOptions options;
    options.dataFile = data.string();
    AnalysisState state;
    std::string error;
    EXPECT_EQ(runBatch(options, state, error), BATCH_DATA_ERROR);
    EXPECT_EQ(error, "Cannot read " + data.string() + ": " + std::strerror(EACCES));
}

TEST(BatchOptions, TakesTheTableSyntaxAndTimeStepOptions)
{
    BatchOptions options;
    std::string error;
    ASSERT_TRUE(parse({ "--separator", ";", "--decimal-comma", "--comment", "%", "--fill-gaps",
                          "linear", "--detect", "--column", "3", "--time-column", "4", "f" },
        options, error))
        << error << ": detection counts the columns of each file";
    EXPECT_EQ(options.syntax, (TableSyntax { '%', ';', true }));
    EXPECT_EQ(options.fillGaps, 1);
    EXPECT_EQ(options.timeColumn, 4);
}

// A CSV file with a header and a time column, as users' files come: read,
// refused while it has a gap, filled on request, and given a physical peak.
TEST(BatchProgram, ReadsACsvFileWithATimeColumn)
{
    TempFolder folder;
    const fs::path data = folder.path() / "yearly.csv";
    const fs::path gappy = folder.path() / "gappy.csv";
    {
        std::ofstream out(data), gaps(gappy);
        out << "\"year\",\"value\"\n";
        gaps << "year,value\n";
        for (int i = 0; i < 4096; ++i) {
            const std::string value = formatC("%.9g", std::sin(2.0 * M_PI * i / 16.0));
            out << 1700 + i << ',' << value << '\n';
            gaps << 1700 + i << ',' << (i == 7 ? "" : value) << '\n';
        }
    }
    const fs::path out = folder.path() / "stdout.txt";
    const fs::path err = folder.path() / "stderr.txt";
    auto run = [&](const std::string& args, const fs::path& file) {
        const std::string command = shellQuoted(WELMO_PSD_PATH) + " " + args + " "
            + shellQuoted(file) + " >" + shellQuoted(out) + " 2>" + shellQuoted(err);
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    const auto summaryEnd = [&](std::size_t length) {
        const std::string last = fileLines(out).back();
        return last.substr(last.size() - std::min(length, last.size()));
    };

    const std::string yearly = ", peak frequency 0.0625 per yr, period 16 yr";
    ASSERT_EQ(run("--separator , --header-tokens 2 --columns 2 --column 2 --time-column 1 "
                  "--time-unit yr",
                  data),
        0);
    EXPECT_EQ(summaryEnd(yearly.size()), yearly);
    EXPECT_EQ(
        fileLines(out).back().find(data.string() + ": 4096 samples, M = 2048, peak 0.125000"), 0u);
    ASSERT_EQ(run("--detect --column 2 --time-column 1 --time-unit yr", data), 0);
    EXPECT_EQ(summaryEnd(yearly.size()), yearly);
    const std::string perUnit = ", peak frequency 0.125 per unit, period 8 unit";
    ASSERT_EQ(run("--detect --column 2 --dt 0.5", data), 0);
    EXPECT_EQ(summaryEnd(perUnit.size()), perUnit);

    EXPECT_EQ(run("--detect --column 2", gappy), 1);
    EXPECT_EQ(fileLines(err),
        (std::vector<std::string> { "welmo-psd: " + gappy.string()
            + ": The series holds 1 values that are not finite numbers (the first at sample 8)" }));
    EXPECT_FALSE(fs::exists(folder.path() / "gappyp.dat"));
    EXPECT_EQ(run("--detect --column 2 --fill-gaps linear", gappy), 0);
    EXPECT_EQ(fileLines(err),
        (std::vector<std::string> { "welmo-psd: " + gappy.string()
            + ": 1 missing values filled by linear interpolation" }));
}

// FILE[:COLUMN], repeatable, and only for a picture.
TEST(BatchOptions, ReferencesTakeAFileAndAColumn)
{
    BatchOptions options;
    std::string error;
    ASSERT_TRUE(
        parse({ "--render", "p.png", "--reference", "b.dat:3", "--reference", "c:d.dat", "f" },
            options, error))
        << error;
    ASSERT_EQ(options.references.size(), 2u);
    EXPECT_EQ(options.references[0].file, "b.dat");
    EXPECT_EQ(options.references[0].column, 3);
    EXPECT_EQ(options.references[1].file, "c:d.dat");
    EXPECT_FALSE(options.references[1].column);
    for (const auto& [args, message] :
        { std::pair { std::vector<std::string> { "--reference", "a.dat", "f" },
              "--reference: only with --render" },
            std::pair { std::vector<std::string> { "--render", "p.png", "--reference", "a:0", "f" },
                "--reference: expected FILE or FILE:COLUMN with COLUMN 1-100" } }) {
        BatchOptions refused;
        EXPECT_FALSE(parse(args, refused, error));
        EXPECT_EQ(error, message);
    }
}

#if WELMO_WITH_RENDER
// References change the picture; one that cannot be read fails the run
// with its one line before anything is written.
TEST(BatchProgram, RendersReferencesAndFailsOnOneThatCannotBeRead)
{
    TempFolder folder;
    const fs::path data = writeTone(folder.path(), "tone.dat", 4096, 1.0 / 16.0);
    const fs::path other = writeTone(folder.path(), "other.dat", 2048, 1.0 / 5.0);
    const fs::path missing = folder.path() / "missing.dat";
    const fs::path err = folder.path() / "stderr.txt";
    auto run = [&](const std::string& args, const fs::path& picture) {
        const std::string command = "QT_QPA_PLATFORM=offscreen " + shellQuoted(WELMO_PSD_PATH)
            + " --axes --size 400x300 --render " + shellQuoted(picture) + " " + args + " "
            + shellQuoted(data) + " >/dev/null 2>" + shellQuoted(err);
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    const fs::path alone = folder.path() / "alone.png";
    const fs::path compared = folder.path() / "compared.png";
    ASSERT_EQ(run("", alone), 0);
    ASSERT_EQ(run("--reference " + shellQuoted(other), compared), 0);
    EXPECT_NE(fileBytes(compared), fileBytes(alone));

    fs::remove(folder.path() / "tonep.dat");
    const fs::path failed = folder.path() / "failed.png";
    EXPECT_EQ(
        run("--reference " + shellQuoted(other) + " --reference " + shellQuoted(missing), failed),
        1);
    EXPECT_EQ(fileLines(err),
        std::vector<std::string> { "welmo-psd: " + missing.string() + ": File not found" });
    EXPECT_FALSE(fs::exists(failed));
    EXPECT_FALSE(fs::exists(folder.path() / "tonep.dat"));
}
#endif
