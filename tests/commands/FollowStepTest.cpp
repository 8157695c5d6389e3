#include "commands/Commands.h"

#include "input/MissingValues.h"
#include "support/RecordImage.h"
#include "support/ScriptedHost.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <unistd.h>

namespace {

std::string rows(unsigned from, unsigned to)
{
    std::string text;
    for (unsigned r = from; r <= to; ++r)
        text += std::to_string(r % 7) + ' ' + std::to_string(r % 5) + '\n';
    return text;
}

void write(const std::string& path, const std::string& bytes, const char* mode)
{
    std::FILE* file = std::fopen(path.c_str(), mode);
    ASSERT_NE(file, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

// Retrieve Data of every row of `path`, as the window's OK gives it.
void retrieveWhole(AnalysisState& state, ScriptedHost& host, const std::string& path)
{
    host.everyRow = true;
    host.timeSeriesDialog = [path](AnalysisState& fields) {
        fields.dataFileName = path;
        fields.headerTokens = 2;
        fields.columnCount = 2;
        fields.dataColumn = 2;
        return true;
    };
    ASSERT_EQ(retrieveData(state, host), CommandOutcome::DONE);
    host.clearRecord();
}

struct FollowCase {
    const char* name;
    std::function<void(const std::string& path, AnalysisState&, ScriptedHost&)> change;
    CommandOutcome outcome;
    // The message the look gives, "" for none; %s stands for the file. The
    // record is as the look found it in every case.
    std::string message;
};

TEST(FollowStep, EachLookEndsAsTheFileAndTheRecordCallFor)
{
    const auto append = [](const char* bytes) {
        return [bytes](const std::string& path, AnalysisState&, ScriptedHost&) {
            write(path, bytes, "ab");
        };
    };
    const FollowCase cases[] = {
        { "shorter",
            [](const std::string& path, AnalysisState&, ScriptedHost&) {
                ASSERT_EQ(::truncate(path.c_str(), 100), 0);
            },
            CommandOutcome::DATA_ERROR, "%s became shorter: the follow stops" },
        { "replaced",
            [](const std::string& path, AnalysisState&, ScriptedHost&) {
                const std::string other = path + ".new";
                write(other, "x y\n" + rows(1, 900), "wb");
                ASSERT_EQ(std::rename(other.c_str(), path.c_str()), 0);
            },
            CommandOutcome::DATA_ERROR, "%s was replaced: the follow stops" },
        { "an edit before",
            [](const std::string& path, AnalysisState& state, ScriptedHost& host) {
                host.selectSegmentDialog = [](const AnalysisState&) {
                    return SegmentChoice { 1, 500 };
                };
                selectSegment(state, host);
                write(path, rows(801, 900), "ab");
            },
            CommandOutcome::DATA_ERROR, "Cannot follow %s: its last lines are not the rows read" },
        { "a value that is not finite", append("1 nan\n"), CommandOutcome::DATA_ERROR,
            "The series holds 1 values that are not finite numbers (the first at sample 801)" },
        { "cancelled",
            [](const std::string& path, AnalysisState&, ScriptedHost& host) {
                write(path, rows(801, 900), "ab");
                host.progressAnswer = [](std::string_view, double) { return false; };
            },
            CommandOutcome::CANCELLED, "" },
    };
    for (const FollowCase& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder("welmo_follow");
        const std::string path = folder.file("run.dat");
        write(path, "x y\n" + rows(1, 800), "wb");
        AnalysisState state;
        resetAnalysisState(state);
        ScriptedHost host(state);
        retrieveWhole(state, host, path);
        c.change(path, state, host);
        host.clearRecord();
        const RecordImage before = recordImage(state);
        EXPECT_EQ(followStep(state, host), c.outcome);
        std::string message = c.message;
        if (const auto at = message.find("%s"); at != std::string::npos)
            message.replace(at, 2, path);
        EXPECT_EQ(host.messages,
            message.empty() ? std::vector<std::string> {} : std::vector<std::string> { message });
        // Where the look has looked is no change of the record.
        RecordImage after = recordImage(state);
        after.values.followMark.size = before.values.followMark.size;
        EXPECT_EQ(after, before);
    }
}

// A look that finds rows gives the record that Retrieve Data of the grown
// file gives, to the last bit, the place where the rows end included.
TEST(FollowStep, AppendedRowsGiveTheRecordOfAFreshRead)
{
    TempFolder folder("welmo_follow");
    const std::string path = folder.file("run.dat");
    write(path, "x y\n" + rows(1, 800), "wb");
    AnalysisState followed;
    resetAnalysisState(followed);
    ScriptedHost host(followed);
    retrieveWhole(followed, host, path);
    write(path, rows(801, 1234) + "1 ", "ab");
    EXPECT_EQ(followStep(followed, host), CommandOutcome::DONE);
    EXPECT_EQ(followed.sampleCount, 1234u);

    AnalysisState fresh;
    resetAnalysisState(fresh);
    ScriptedHost freshHost(fresh);
    retrieveWhole(fresh, freshHost, path);
    EXPECT_EQ(recordImage(followed), recordImage(fresh));
}

} // namespace
