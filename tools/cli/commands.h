// The subcommands of brimvale-tool. Each takes the arguments after its own
// name and returns the process exit status.
#pragma once

#include <initializer_list>
#include <string>

int replayCommand(int argc, char** argv);
int packCommand(int argc, char** argv);
int unpackCommand(int argc, char** argv);
int paintArtCommand(int argc, char** argv);
int levelsCommand(int argc, char** argv);
int solveCommand(int argc, char** argv);

// A "--name VALUE" option of a subcommand.
struct ToolOption {
    const char* name;
    std::string* value;
};
// Reads "--name VALUE" options and --help (which prints `help`). Returns -1
// when the command should go on, else the exit status to end with (0 after
// --help, 2 with a message on stderr for anything else).
int parseToolOptions(const char* command, int argc, char** argv, const std::string& help,
                     std::initializer_list<ToolOption> options);
