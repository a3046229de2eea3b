// Fuzz target: the replay's event tokens and brimvale-tool's option reader.
//
// Input: a byte that shapes the option reader (what its words are, how many
// it takes), then arguments separated by zero bytes. Both readers take the
// same arguments; neither may fault, and what they accept must hold up.
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "common/options.h"
#include "tools/session/replay.h"

namespace {

void events(const std::vector<std::string>& args) {
    std::vector<session::EventGroup> groups;
    std::string error;
    if (!session::parseEvents(args, groups, error)) {
        if (error.empty()) __builtin_trap();
        return;
    }
    for (const session::EventGroup& group : groups) {
        if (group.empty()) __builtin_trap();
        for (const headless::Event& e : group)
            if (e.kind == headless::Event::Click && (e.x < -100000 || e.x > 100000 || e.y < -100000 || e.y > 100000))
                __builtin_trap();
    }
}

void options(std::uint8_t shape, std::vector<std::string> args) {
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(&a[0]);
    argv.push_back(nullptr);
    std::string text;
    long long count = 7;
    double weight = 2;
    bool fast = false;
    std::vector<std::string> words;
    const cli::Words kinds[3] = {cli::Words::None, cli::Words::Files, cli::Words::Tokens};
    const std::size_t most = (shape >> 2) & 7;
    const int status = cli::Options("fuzz", (shape & 0x20) ? "help\n" : nullptr)
                           .text("-o", text, "--output")
                           .whole("--count", count, 1, 100)
                           .real("--weight", weight, -10, 10)
                           .flag("--fast", fast)
                           .words(kinds[(shape & 3) % 3], words, most)
                           .parse(static_cast<int>(args.size()), argv.data());
    if (status != -1 && status != 0 && status != 2) __builtin_trap();
    if (status == -1 && (count < 1 || count > 100 || !(weight >= -10 && weight <= 10) || words.size() > most))
        __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    const std::uint8_t shape = in.byte();
    const std::string rest = in.rest();
    std::vector<std::string> args;
    std::size_t start = 0;
    while (start <= rest.size()) {
        const std::size_t zero = rest.find('\0', start);
        args.push_back(rest.substr(start, zero == std::string::npos ? std::string::npos : zero - start));
        if (zero == std::string::npos) break;
        start = zero + 1;
    }
    events(args);
    options(shape, args);
    return 0;
}
