// Fuzz target: the level text format. Any text parses without a fault; any
// file of whole records comes back byte for byte through dump and build;
// whatever parses comes back the same through format and parse; the game
// reads text as the compiler does.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "game/level_text.h"
#include "game/levels.h"

using namespace leveltext;

namespace {

[[noreturn]] void broken(const char* what) {
    std::fputs(what, stderr);
    std::fputc('\n', stderr);
    __builtin_trap();
}

// The level file's bytes: dumped, parsed, compiled.
void recordsRoundTrip(const std::string& bytes) {
    const std::vector<Record> records = splitRecords(bytes);
    std::vector<Level> levels;
    std::vector<Diagnostic> diagnostics;
    const bool ok = parseSource(dumpRecords(records, "fuzz.lvl"), "dump", levels, diagnostics);
    if (!ok) broken("a dump does not parse");
    if (compileLevels(levels) != joinRecords(records)) broken("build(dump(file)) differs from the file");
}

// What parsed from the text: formatted, parsed again, the same levels.
void textRoundTrip(const std::string& text) {
    std::vector<Level> levels;
    std::vector<Diagnostic> diagnostics;
    parseSource(text, "fuzz.txt", levels, diagnostics);
    for (const Diagnostic& d : diagnostics)
        if (d.line < 0 || d.column < 0 || d.text().empty()) broken("a diagnostic without a place");
    for (const Level& level : levels) {
        std::vector<Level> again;
        std::vector<Diagnostic> notes;
        if (!parseSource(formatLevel(level), "formatted", again, notes)) broken("a formatted level does not parse");
        if (again.size() != 1 || again[0].cells != level.cells || again[0].moves != level.moves ||
            again[0].title != level.title)
            broken("parse(format(level)) differs from the level");
    }
}

// The game's reading of a level file: text when it has no control bytes,
// else records; parsed text gives the records the compiler gives.
void gameReading(const std::string& bytes) {
    LevelFileLevels read;
    std::string error;
    const bool ok = readLevelBytes(bytes, "fuzz", read, error);
    if (read.text != isLevelText(bytes)) broken("the reading disagrees on what is text");
    if (!read.text) {
        if (!ok || read.records != std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + read.count * 256))
            broken("records read otherwise than split");
        return;
    }
    std::vector<Level> levels;
    std::vector<Diagnostic> diagnostics;
    const bool parsed = parseSource(bytes, "fuzz", levels, diagnostics) && !levels.empty();
    if (ok != parsed || (ok && compileLevels(levels) != std::string(read.records.begin(), read.records.end())))
        broken("the game reads level text otherwise than the compiler");
    if (!ok && error.empty()) broken("refused level text without a reason");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    textRoundTrip(bytes);
    recordsRoundTrip(bytes);
    gameReading(bytes);
    return 0;
}
