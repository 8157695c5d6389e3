#include "commands/Commands.h"

#include "input/TimeStep.h"
#include "spectrum/SpectrumPower.h"
#include "support/ScriptedHost.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

double sawtooth(unsigned r)
{
    return (r - 1) % 4;
}

// Series that cannot be estimated as read, and what the command makes of
// them: refused with the message, the record as before, or filled.
class SeriesRefusal : public ::testing::Test {
protected:
    // A table "t v" of `rows` rows: time(r) and value(r).
    std::string writeTable(
        const std::string& name, unsigned rows, const std::function<double(unsigned)>& value,
        const std::function<double(unsigned)>& time = [](unsigned r) { return r; })
    {
        const std::string fileName = (m_folder.path() / name).string();
        std::ofstream out(fileName);
        out.precision(17);
        out << "t v\n";
        for (unsigned r = 1; r <= rows; ++r)
            out << time(r) << ' ' << value(r) << '\n';
        return fileName;
    }

    void choose(const std::string& fileName, unsigned rows, int fillGaps, int timeColumn = 0)
    {
        m_host.timeSeriesDialog = [=](AnalysisState& state) {
            state.dataFileName = fileName;
            state.headerTokens = 2;
            state.columnCount = 2;
            state.dataColumn = 2;
            state.sampleCount = rows;
            state.fillGaps = fillGaps;
            state.timeColumn = timeColumn;
            return true;
        };
    }

    // A good series first, whose spectrum a refused one must leave.
    void loadGood()
    {
        choose(writeTable("good.dat", 256, sawtooth), 256, 0);
        ASSERT_EQ(retrieveData(m_state, m_host), CommandOutcome::DONE);
        m_host.clearRecord();
    }

    TempFolder m_folder { "welmo_refusal" };
    AnalysisState m_state;
    ScriptedHost m_host { m_state };
};

struct RefusalCase {
    const char* name;
    std::function<double(unsigned)> value;
    int fillGaps;
    CommandOutcome outcome;
    std::string message; // "" for none
    std::string status; // the status bar's note, "" for none
};

TEST_F(SeriesRefusal, NonFiniteAndPowerlessSeriesAreRefusedOrFilled)
{
    const auto gaps = [](unsigned r) { return r == 5 || r == 9 || r == 10 ? NaN : sawtooth(r); };
    const std::vector<RefusalCase> cases = {
        { "gaps refused", gaps, 0, CommandOutcome::DATA_ERROR,
            "The series holds 3 values that are not finite numbers (the first at sample 5)", "" },
        { "gaps filled", gaps, 1, CommandOutcome::DONE, "",
            "3 missing values filled by linear interpolation" },
        { "no finite value to fill from", [](unsigned) { return NaN; }, 1,
            CommandOutcome::DATA_ERROR,
            "The series holds 128 values that are not finite numbers (the first at sample 1)", "" },
        { "constant", [](unsigned) { return 7.25; }, 0, CommandOutcome::DATA_ERROR,
            MESSAGE_NO_POWER, "" },
        { "all zero", [](unsigned) { return 0.0; }, 0, CommandOutcome::DATA_ERROR, MESSAGE_NO_POWER,
            "" },
        { "constant after filling", [](unsigned r) { return r == 3 ? NaN : 1.0; }, 1,
            CommandOutcome::DATA_ERROR, MESSAGE_NO_POWER,
            "1 missing values filled by linear interpolation" },
    };
    for (const RefusalCase& c : cases) {
        SCOPED_TRACE(c.name);
        loadGood();
        const std::vector<float> goodSpectrum(m_state.psd.data(), m_state.psd.data() + 129);
        const std::string fileName = writeTable("bad.dat", 128, c.value);
        choose(fileName, 128, c.fillGaps);
        EXPECT_EQ(retrieveData(m_state, m_host), c.outcome);
        EXPECT_EQ(m_host.messages,
            c.message.empty() ? std::vector<std::string> {}
                              : std::vector<std::string> { c.message });
        EXPECT_EQ(m_host.statusMessages,
            c.status.empty() ? std::vector<std::string> {} : std::vector<std::string> { c.status });
        EXPECT_TRUE(m_host.consistentAtEveryMessage);
        EXPECT_EQ(m_state.dataFileName, fileName) << "the dialog's choice stays";
        EXPECT_EQ(m_state.fillGaps, c.fillGaps);
        if (c.outcome == CommandOutcome::DONE) {
            EXPECT_EQ(m_state.psdValid, 1);
            EXPECT_TRUE(std::isfinite(m_state.seriesMean));
        } else if (c.message == MESSAGE_NO_POWER) {
            EXPECT_EQ(m_state.psdValid, 0) << "no flat line shown as a spectrum";
            EXPECT_EQ(m_state.sampleCount, 128u);
        } else {
            // Nothing of the refused series is shown: the previous series,
            // its statistics and its spectrum stay.
            EXPECT_EQ(m_state.sampleCount, 256u);
            EXPECT_EQ(m_state.seriesMean, 1.5);
            ASSERT_EQ(m_state.psdValid, 1);
            EXPECT_EQ(
                std::vector<float>(m_state.psd.data(), m_state.psd.data() + 129), goodSpectrum);
        }
        m_host.clearRecord();
    }
}

struct TimeColumnCase {
    const char* name;
    std::function<double(unsigned)> time;
    int hasTimeStep;
    double timeStep;
    std::vector<std::string> messages;
};

TEST_F(SeriesRefusal, TimeStepComesFromTheTimeColumn)
{
    const std::vector<TimeColumnCase> cases = {
        { "even", [](unsigned r) { return 1700 + 0.5 * r; }, 1, 0.5, {} },
        // Steps a float cannot hold at this size.
        { "days since an epoch", [](unsigned r) { return 59000 + r / 1024.0; }, 1, 1 / 1024.0, {} },
        { "one step long", [](unsigned r) { return r < 60 ? 0.5 * r : 0.5 * r + 3; }, 1, 0.5,
            { MESSAGE_UNEVEN_STEPS } },
        { "not increasing", [](unsigned) { return 4.0; }, 0, 1.0,
            { "Column 1 gives no time step: frequencies stay in cycles per sample" } },
    };
    for (const TimeColumnCase& c : cases) {
        SCOPED_TRACE(c.name);
        m_state.timeStep = 1.0;
        m_state.exportDt = 1.0;
        choose(writeTable("timed.dat", 128, sawtooth, c.time), 128, 0, 1);
        EXPECT_EQ(retrieveData(m_state, m_host), CommandOutcome::DONE);
        EXPECT_EQ(m_host.messages, c.messages);
        EXPECT_EQ(m_state.hasTimeStep, c.hasTimeStep);
        EXPECT_EQ(m_state.timeStep, c.timeStep);
        EXPECT_EQ(m_state.exportDt, c.timeStep) << "the export's DT starts from it";
        EXPECT_EQ(m_state.dataColumn, 2);
        EXPECT_EQ(m_state.seriesMean, 1.5) << "the series is still column 2";
        m_host.clearRecord();
    }
}

} // namespace
