#include "BatchHost.h"
#include "BatchOptions.h"
#include "BatchRun.h"

#include "core/CFormat.h"

#include "spectrum/PsdSize.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
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

std::vector<std::string> lines(const fs::path& file)
{
    std::ifstream in(file);
    std::vector<std::string> result;
    for (std::string line; std::getline(in, line);)
        result.push_back(line);
    return result;
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
        { { "--psd-size", "48", "f" }, "--psd-size: expected a power of two from 2 to 1073741824" },
        { { "--psd-size", "1", "f" }, "--psd-size: expected a power of two from 2 to 1073741824" },
        { { "--segments", "10001", "f" }, "--segments: expected an integer from 1 to 10000" },
        { { "--shift", "-1", "f" }, "--shift: expected an integer from 0 to 1000000 or auto" },
        { { "--columns", "3", "--column", "4", "f" },
            "--column 4: the rows hold only 3 values (--columns)" },
        { { "--output", "o.dat", "f", "g" }, "--output: only with one data file" },
        { { "--render", "p.png", "f", "g" }, "--render: only with one data file" },
        { { "--window", "kaiser", "f" }, "--window: expected none, hanning, parzen or welch" },
        { { "--lb", "1", "f" }, "--lb: expected an integer from 2 to 1000000" },
        { { "--min-level", "-31", "f" }, "--min-level: expected a number from -30 to 0" },
        { { "--min-level", "0,5", "f" }, "--min-level: expected a number from -30 to 0" },
        { { "--rows", "12x", "f" }, "--rows: expected an integer from 0 to 69306016" },
        { { "--size", "800x", "f" }, "--size: expected WxH with W and H from 1 to 20000" },
        { { "--frobnicate", "1", "f" }, "--frobnicate: unknown option (see --help)" },
        { { "--columns" }, "--columns: missing value" },
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
                          "512", "--size", "640x480", "data.dat" },
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
    const std::vector<std::string> exported = lines(folder.path() / "tonep.dat");
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
    const std::vector<std::string> before = lines(second);
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
    const std::vector<std::string> exported = lines(shared);
    for (const auto& c : cases) {
        BatchOptions options;
        options.dataFile = second.string();
        options.output = c.output;
        AnalysisState state;
        EXPECT_EQ(runBatch(options, state, error, nullptr, c.kept), BATCH_WRITE_ERROR);
        EXPECT_EQ(error, c.error);
    }
    EXPECT_EQ(lines(second), before);
    EXPECT_EQ(lines(shared), exported);
}

TEST(BatchProgram, PrintsTheStatisticsBlockAndExitsWithItsStatus)
{
    TempFolder folder;
    const fs::path data = writeTone(folder.path(), "tone.dat", 4096, 1.0 / 16.0);
    const fs::path out = folder.path() / "stdout.txt";
    const fs::path err = folder.path() / "stderr.txt";
    auto run = [&](const std::string& args) {
        const std::string command
            = std::string(WELMO_PSD_PATH) + " " + args + " >" + out.string() + " 2>" + err.string();
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };

    ASSERT_EQ(run(data.string()), 0);
    const std::vector<std::string> printed = lines(out);
    ASSERT_EQ(printed.size(), 10u);
    EXPECT_EQ(printed[1], "N=4096");
    EXPECT_EQ(printed[2], "(Original data)");
    EXPECT_EQ(printed[6], "PSD size =2048");
    EXPECT_EQ(printed[7], "Max Peak at 0.125000");
    EXPECT_EQ(printed[8].substr(0, 9), "LB(16) = ");
    EXPECT_EQ(printed[9],
        data.string() + ": 4096 samples, M = 2048, peak 0.125000, " + printed[8] + ", exported to "
            + (folder.path() / "tonep.dat").string());

    EXPECT_EQ(run("--columns 0 " + data.string()), 2);
    EXPECT_EQ(lines(err).at(0), "welmo-psd: --columns: expected an integer from 1 to 100");
    EXPECT_EQ(run("--rows 5000 " + data.string()), 1);
    EXPECT_EQ(lines(err),
        (std::vector<std::string> {
            "welmo-psd: " + data.string() + ": Error in file ", " 4096 data retrieved" }));
    EXPECT_EQ(run("--psd-size 4096 " + data.string()), 3);
    EXPECT_EQ(run("--help"), 0);
    EXPECT_EQ(run("--version"), 0);
    EXPECT_EQ(lines(out).at(0), "welmo-psd 1.0");
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
    const std::string command = std::string(WELMO_PSD_PATH) + " " + first.string() + " "
        + missing.string() + " " + second.string() + " >" + out.string() + " 2>" + err.string();
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);

    const std::vector<std::string> printed = lines(out);
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
    EXPECT_EQ(lines(err),
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
    const std::string command = std::string("QT_QPA_PLATFORM=offscreen ") + WELMO_PSD_PATH
        + " --render " + png.string() + " --size 320x200 " + data.string() + " >/dev/null 2>&1";
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
