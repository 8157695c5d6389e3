#include "output/EditorLaunch.h"

#include "support/FileContents.h"
#include "support/ShellQuote.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

class ScratchFolder : public ::testing::Test {
protected:
    void TearDown() override { setCommandInterpreter(nullptr); }

    std::string path(const std::string& name) const { return (m_folder.path() / name).string(); }

    TempFolder m_folder { "welmo_editor" };
};

std::vector<std::string> splitAtNul(const std::string& text)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\0', start)) != std::string::npos; start = end + 1)
        parts.push_back(text.substr(start, end - start));
    return parts;
}

} // namespace

TEST_F(ScratchFolder, CommandLineIsTheCommandABlankAndTheQuotedName)
{
    std::vector<std::string> lines;
    setCommandInterpreter([&lines](const std::string& line) {
        lines.push_back(line);
        return 0;
    });
    const std::string longName = std::string(300, 'n') + ".dat";
    struct Case {
        std::string command;
        std::string fileName;
        std::string line;
    } cases[] = {
        { "xdg-open", "test.dat", "xdg-open 'test.dat'" },
        { "notepad /a", "test.dat", "notepad /a 'test.dat'" },
        { "gedit", "my run 1.dat", "gedit 'my run 1.dat'" },
        { "gedit", "it's.dat", "gedit 'it'\\''s.dat'" },
        { "gedit", longName, "gedit '" + longName + "'" },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(editorCommandLine(c.command, c.fileName), c.line);
        runEditor(c.command, c.fileName);
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines.back(), c.line) << "the launch runs exactly this line, uncut";
    }
    EXPECT_EQ(lines.size(), std::size(cases));
}

TEST_F(ScratchFolder, BlankCommandRunsNothing)
{
    int calls = 0;
    setCommandInterpreter([&calls](const std::string&) {
        ++calls;
        return 0;
    });
    for (const char* command : { "", " ", "\t  " })
        runEditor(command, "test.dat");
    EXPECT_EQ(calls, 0);
}

TEST_F(ScratchFolder, ShellHandsTheNameToTheEditorAsOneArgument)
{
    // The "editor" is a script that records its arguments, NUL-separated.
    const std::string script = path("args.sh");
    std::ofstream(script) << "#!/bin/sh\nout=$1\nshift\nprintf '%s\\0' \"$@\" > \"$out\"\n";
    chmod(script.c_str(), 0755);
    const std::string record = path("args.out");
    const std::string marker = path("pwned");
    const std::string editor = shellQuoted(script) + " " + shellQuoted(record);
    const std::string names[] = {
        "test.dat",
        "my run 1.dat",
        "it's.dat",
        "a;touch " + marker,
        "$(touch " + marker + ")",
        "`touch " + marker + "`",
        "x'; touch " + marker + "; '",
        "quote\"and\\backslash",
        "tab\tand\nnewline",
        "*",
    };
    for (const std::string& name : names) {
        fs::remove(record);
        runEditor(editor, name);
        EXPECT_EQ(splitAtNul(fileBytes(record)), std::vector<std::string> { name }) << name;
    }
    EXPECT_FALSE(fs::exists(marker)) << "no part of a file name ran as a command";
}

TEST_F(ScratchFolder, InterpreterIsWaitedFor)
{
    const std::string done = path("done");
    EXPECT_EQ(runCommandLine("sleep 0.2; echo finished > '" + done + "'; exit 3"), 3);
    EXPECT_EQ(fileBytes(done), "finished\n");
}

TEST_F(ScratchFolder, CommandTheShellCannotRunIsAFailure)
{
    struct Case {
        int interpreterStatus;
        int result;
    } cases[] = {
        { 0, 0 }, { 1, 0 }, { 2, 0 }, { 125, 0 }, { 126, 1 }, // found, not executable
        { 127, 1 }, // not found
        { 128, 0 }, { -1, 0 }, // the editor ended by a signal
    };
    for (const Case& c : cases) {
        setCommandInterpreter([&c](const std::string&) { return c.interpreterStatus; });
        EXPECT_EQ(runEditor("gedit", "test.dat"), c.result) << c.interpreterStatus;
        EXPECT_EQ(runEditor(" ", "test.dat"), 0) << "a blank command runs nothing";
    }
    EXPECT_EQ(cannotRunEditorMessage("write.exe"), "Cannot run the editor command \"write.exe\"");
}

TEST_F(ScratchFolder, ShellReportsMissingAndUnexecutableEditors)
{
    const std::string notExecutable = path("plain.txt");
    std::ofstream(notExecutable) << "text\n";
    chmod(notExecutable.c_str(), 0644);
    struct Case {
        std::string command;
        int result;
    } cases[] = {
        { path("no-such-editor"), 1 }, { "welmo-no-such-editor-command", 1 }, { notExecutable, 1 },
        { "true", 0 }, { "false", 0 }, // the editor's own failure is its affair
    };
    for (const Case& c : cases)
        EXPECT_EQ(runEditor(c.command, "test.dat"), c.result) << c.command;
}
