#pragma once

#include <functional>
#include <string>

// The editor command, one blank, and the file name quoted as one shell word.
std::string editorCommandLine(const std::string& editorCommand, const std::string& fileName);

// Runs the editor on a file through the command interpreter and waits for
// it; the interpreter's result is ignored. A blank command runs nothing.
void runEditor(const std::string& editorCommand, const std::string& fileName);

// The command interpreter: `/bin/sh -c LINE`, waited for. Tests replace it.
using CommandInterpreter = std::function<int(const std::string& line)>;
void setCommandInterpreter(CommandInterpreter interpreter);
int runCommandLine(const std::string& line);
