// The one argument reader of brimvale-tool's subcommands and of the game.
#include "common/options.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

namespace cli {

namespace {
const char* programName = "brimvale-tool";
}  // namespace

void setProgramName(const char* name) { programName = name; }

void say(const std::string& command, const std::string& message) {
    std::fprintf(stderr, "%s%s%s: %s\n", programName, command.empty() ? "" : " ", command.c_str(), message.c_str());
}

int fail(const std::string& command, const std::string& message, int status) {
    say(command, message);
    return status;
}

int closeStdout(int status) {
    errno = 0;
    const bool flushed = std::fflush(stdout) == 0 && !std::ferror(stdout);
    const int flushErrno = errno;
    const bool closed = std::fclose(stdout) == 0;
    if (flushed && closed) return status;
    const int why = flushErrno ? flushErrno : errno;
    say("", std::string("cannot write to standard output") + (why ? std::string(" (") + std::strerror(why) + ")" : ""));
    return status ? status : 1;
}

Options::Options(std::string command, const char* help) : command_(std::move(command)), help_(help) {}

Options& Options::text(const char* name, std::string& value, const char* alias) {
    return add(name, alias, "a value", [&value](const std::string& text) {
        value = text;
        return true;
    });
}

Options& Options::file(const char* name, std::string& value, const char* alias) {
    return add(name, alias, "a file name", [&value](const std::string& text) {
        value = text;
        return !text.empty();
    });
}

Options& Options::real(const char* name, double& value, double min, double max) {
    return add(name, nullptr, range("a number", static_cast<long long>(min), static_cast<long long>(max)),
               [&value, min, max](const std::string& text) { return common::parseReal(text, min, max, value); });
}

Options& Options::flag(const char* name, bool& value, bool to) {
    return add(name, nullptr, std::string(), [&value, to](const std::string&) {
        value = to;
        return true;
    });
}

Options& Options::value(const char* name, const char* wants, std::function<bool(const std::string&)> set) {
    return add(name, nullptr, wants, std::move(set));
}

Options& Options::action(const char* name, std::function<void()> run) {
    return add(name, nullptr, std::string(), [run](const std::string&) {
        run();
        return true;
    });
}

Options& Options::words(Words kind, std::vector<std::string>& words, std::size_t most) {
    return this->words(kind, [&words](const std::string& word) { words.push_back(word); }, most);
}

Options& Options::words(Words kind, std::function<void(const std::string&)> take, std::size_t most) {
    kind_ = kind;
    takeWord_ = std::move(take);
    most_ = most;
    return *this;
}

std::string Options::range(const char* what, long long min, long long max) {
    return std::string(what) + " from " + std::to_string(min) + " to " + std::to_string(max);
}

Options& Options::add(const char* name, const char* alias, std::string wants,
                      std::function<bool(const std::string&)> set) {
    options_.push_back(Option{name, alias, std::move(wants), std::move(set)});
    return *this;
}

const Options::Option* Options::find(const std::string& arg) const {
    for (const Option& o : options_)
        if (arg == o.name || (o.alias && arg == o.alias)) return &o;
    return nullptr;
}

bool Options::isOption(const std::string& arg) const {
    if (kind_ == Words::Tokens) return arg.size() > 2 && arg.compare(0, 2, "--") == 0;
    return arg.size() > 1 && arg[0] == '-';
}

// Reads the value of `option` (at argv[i]) and moves i past it; -1 or a refusal.
int Options::take(const Option& option, int& i, int argc, char** argv) const {
    const std::string arg = argv[i];
    if (option.wants.empty()) return option.set(std::string()) ? -1 : 2;
    if (i + 1 >= argc) return fail(command_, arg + " needs " + option.wants, 2);
    const std::string value = argv[++i];
    if (!option.set(value)) return fail(command_, arg + " needs " + option.wants + ", not '" + value + "'", 2);
    return -1;
}

int Options::parse(int argc, char** argv) const {
    const std::string seeHelp = help_ ? " (see --help)" : "";
    bool optionsEnded = false;
    std::size_t words = 0;
    for (int i = 0; i < argc; ++i) {
        const std::string arg = argv[i];
        if (!optionsEnded && arg == "--" && kind_ != Words::Tokens) {
            optionsEnded = true;
            continue;
        }
        if (!optionsEnded && help_ && (arg == "--help" || arg == "-h")) {
            std::fputs(help_, stdout);
            return 0;
        }
        const Option* option = optionsEnded ? nullptr : find(arg);
        if (option) {
            const int status = take(*option, i, argc, argv);
            if (status >= 0) return status;
        } else if (!optionsEnded && isOption(arg)) {
            return fail(command_, "unknown option '" + arg + "'" + seeHelp, 2);
        } else if (kind_ == Words::None || words >= most_) {
            return fail(command_, "unexpected argument '" + arg + "'" + seeHelp, 2);
        } else if (kind_ == Words::Files && arg.empty()) {
            return fail(command_, "an empty argument is no file name" + seeHelp, 2);
        } else {
            ++words;
            takeWord_(arg);
        }
    }
    return -1;
}

int dispatch(const std::string& command, int argc, char** argv, const std::vector<Subcommand>& subcommands,
             const std::string& help) {
    std::string names;
    for (const Subcommand& s : subcommands) names += (names.empty() ? "" : ", ") + std::string(s.name);
    if (argc < 1) return fail(command, "needs a command: " + names + " (see --help)", 2);
    const std::string name = argv[0];
    if (name == "--help" || name == "-h") {
        std::fputs(help.c_str(), stdout);
        return 0;
    }
    for (const Subcommand& s : subcommands)
        if (name == s.name) return s.run(argc - 1, argv + 1);
    return fail(command, "unknown command '" + name + "'; the commands are " + names, 2);
}

}  // namespace cli
