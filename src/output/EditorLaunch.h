#pragma once

#include <functional>
#include <string>

// The editor command, one blank, and the file name quoted as one shell word.
std::string editorCommandLine(const std::string& editorCommand, const std::string& fileName);

// Runs the editor on a file through the command interpreter and waits for
// it. Returns 1 when the interpreter could not run the command (exit status
// 126: not executable, 127: not found, or no interpreter), else 0: any
// other result is the editor's own affair. A blank command runs nothing
// and returns 0.
int runEditor(const std::string& editorCommand, const std::string& fileName);

// The text for a failed runEditor: Cannot run the editor command "CMD".
std::string cannotRunEditorMessage(const std::string& editorCommand);

// The command interpreter: `/bin/sh -c LINE`, waited for. Returns its exit
// status, 127 when it cannot be started (as for a command it cannot find),
// -1 when it ended by a signal. Tests replace it.
using CommandInterpreter = std::function<int(const std::string& line)>;
void setCommandInterpreter(CommandInterpreter interpreter);
int runCommandLine(const std::string& line);
