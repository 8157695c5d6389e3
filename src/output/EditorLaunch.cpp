#include "output/EditorLaunch.h"

#include <cerrno>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace {

constexpr int SHELL_CANNOT_EXECUTE = 126;
constexpr int SHELL_NOT_FOUND = 127;

CommandInterpreter& interpreterHook()
{
    static CommandInterpreter hook;
    return hook;
}

// One shell word: single quotes, each embedded quote closed, escaped and
// reopened, so no character of the name reaches the shell as syntax.
std::string shellWord(const std::string& text)
{
    std::string word = "'";
    for (char c : text) {
        if (c == '\'')
            word += "'\\''";
        else
            word += c;
    }
    word += '\'';
    return word;
}

int runShell(const std::string& line)
{
    const char* argv[] = { "/bin/sh", "-c", line.c_str(), nullptr };
    pid_t pid;
    if (posix_spawn(&pid, "/bin/sh", nullptr, nullptr, const_cast<char* const*>(argv), environ)
        != 0)
        return SHELL_NOT_FOUND;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

std::string editorCommandLine(const std::string& editorCommand, const std::string& fileName)
{
    return editorCommand + " " + shellWord(fileName);
}

void setCommandInterpreter(CommandInterpreter interpreter)
{
    interpreterHook() = std::move(interpreter);
}

int runCommandLine(const std::string& line)
{
    if (interpreterHook())
        return interpreterHook()(line);
    return runShell(line);
}

int runEditor(const std::string& editorCommand, const std::string& fileName)
{
    // Without a command the shell would take the file name as the program
    // and run the file itself.
    if (editorCommand.find_first_not_of(" \t\n\v\f\r") == std::string::npos)
        return 0;
    const int status = runCommandLine(editorCommandLine(editorCommand, fileName));
    return status == SHELL_CANNOT_EXECUTE || status == SHELL_NOT_FOUND ? 1 : 0;
}

std::string cannotRunEditorMessage(const std::string& editorCommand)
{
    return "Cannot run the editor command \"" + editorCommand + "\"";
}
