// The one argument reader of brimvale-tool's subcommands and of the game.
// "--name VALUE" options, flags, --help, positional arguments and checked
// numbers, with every refusal one line on stderr and exit status 2.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "common/numbers.h"

namespace cli {

// The program named at the start of every message: "brimvale-tool" unless
// set (the game sets "brimvale").
void setProgramName(const char* name);

// Prints "brimvale-tool COMMAND: MESSAGE" (COMMAND may be empty) as one line
// on stderr: the one style of the tool's errors, warnings and notes.
void say(const std::string& command, const std::string& message);
// Says the error and returns `status`, the exit status to end with.
int fail(const std::string& command, const std::string& message, int status);
// Flushes and closes stdout at the end of a program: whatever it printed and
// the system did not take (a full disk, a closed descriptor) fails it with
// "cannot write to standard output" and status 1, unless it failed already.
// Returns the status to end with.
int closeStdout(int status);

// What the arguments that are not options are.
enum class Words {
    None,    // the subcommand takes none: such an argument is refused
    Files,   // file names: every argument that starts with '-' (not "-" alone) is an option
    Tokens,  // free tokens: only arguments that start with "--" are options
};

class Options {
public:
    // `command` names the subcommand in messages ("levels build"); `help` is
    // what --help and -h print on stdout (nullptr: the subcommand has none,
    // and --help is an unknown option).
    Options(std::string command, const char* help);

    // "--name VALUE" (and "ALIAS VALUE"): the value as it is.
    Options& text(const char* name, std::string& value, const char* alias = nullptr);
    // "--name FILE" (and "ALIAS FILE"): a file or folder name, never empty.
    Options& file(const char* name, std::string& value, const char* alias = nullptr);
    // "--name N": a whole number within min..max.
    template <typename T>
    Options& whole(const char* name, T& value, long long min, long long max) {
        return add(name, nullptr, range("a whole number", min, max), [&value, min, max](const std::string& text) {
            long long v = 0;
            if (!common::parseWhole(text, min, max, v)) return false;
            value = static_cast<T>(v);
            return true;
        });
    }
    // "--name X": a number within min..max.
    Options& real(const char* name, double& value, double min, double max);
    // "--name" alone: sets `value` to `to`.
    Options& flag(const char* name, bool& value, bool to = true);
    // "--name VALUE" read by `set`, which refuses a bad value by returning
    // false; `wants` says what a value must be, for the message.
    Options& value(const char* name, const char* wants, std::function<bool(const std::string&)> set);
    // "--name" alone: runs `run` (an option that sets several values).
    Options& action(const char* name, std::function<void()> run);
    // The arguments that are not options, in order; at most `most` of them.
    // File names (Words::Files) are never empty.
    Options& words(Words kind, std::vector<std::string>& words, std::size_t most = static_cast<std::size_t>(-1));
    // The same, each handed to `take` in its turn among the options, so that
    // a later option overrides it and it overrides earlier ones.
    Options& words(Words kind, std::function<void(const std::string&)> take, std::size_t most);

    // Reads the arguments in order; after "--" every argument is a word
    // (free tokens take "--" as one of them).
    // Returns -1 when the subcommand goes on, else its exit status: 0 after
    // printing the help, 2 after the first refusal.
    int parse(int argc, char** argv) const;

private:
    struct Option {
        const char* name;
        const char* alias;
        std::string wants;  // what a value must be, for messages; empty for a flag
        std::function<bool(const std::string&)> set;
    };
    static std::string range(const char* what, long long min, long long max);
    Options& add(const char* name, const char* alias, std::string wants, std::function<bool(const std::string&)> set);
    const Option* find(const std::string& arg) const;
    bool isOption(const std::string& arg) const;
    int take(const Option& option, int& i, int argc, char** argv) const;

    std::string command_;
    const char* help_;
    std::vector<Option> options_;
    Words kind_ = Words::None;
    std::function<void(const std::string&)> takeWord_;
    std::size_t most_ = 0;
};

// A subcommand of a command that has subcommands (brimvale-tool itself, and
// brimvale-tool levels).
struct Subcommand {
    const char* name;
    int (*run)(int argc, char** argv);
    const char* summary;
};

// Runs the subcommand that argv[0] names with the arguments after it; prints
// `help` on stdout for --help or -h. Refuses (status 2) no argument and an
// unknown name.
int dispatch(const std::string& command, int argc, char** argv, const std::vector<Subcommand>& subcommands,
             const std::string& help);

}  // namespace cli
