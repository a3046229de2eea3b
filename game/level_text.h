// The text form of levels: the parser, the formatter and level file records.
// A level is a title line, an optional recorded press count, an optional
// trap (presses that lose it for good), and 16 rows of
// 16 one-character glyphs, one glyph per cell code. The level compiler turns
// such sources into data.lvl; the dump turns any level file back into text;
// the editor reads and writes it. See docs/levels.md. (Reading a source from
// a file is the tools': tools/levels/level_files.h.)
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "game/glyphs.h"

namespace leveltext {

struct Level {
    std::string title;
    // Its idea in a sentence: the comment right above its title, or else the
    // comments between its title and its rows, joined; written above the
    // title.
    std::string idea;
    int moves = -1;  // the recorded optimal press count; -1 when none is given
    // A natural opening after which the level can no longer be won (its
    // 'trap' line): presses 0..4 as Left Right Up Down Space. Empty: none.
    std::vector<std::uint8_t> trap;
    // The mechanics the level's idea is about (its 'needs' line, see
    // tools/session/mechanics.h): without any one of them, no win in its
    // press count. 0: none named.
    std::uint16_t needs = 0;
    Record cells = Record(RecordBytes);
    std::string file;
    int line = 0;  // the line of its title
};

struct Diagnostic {
    std::string file;
    int line = 0;
    int column = 0;
    bool warning = false;
    std::string message;
    // "file:line:column: error: message" (or "warning: ...").
    std::string text() const;
};

// Parses one source. Appends its levels to `levels` and its errors and
// warnings to `diagnostics`; returns false when it found an error.
bool parseSource(const std::string& text, const std::string& fileName, std::vector<Level>& levels,
                 std::vector<Diagnostic>& diagnostics);

// The words of a 'needs' line, bit k of a set being word k: push water shove
// brick fixed-mirror movable-mirror glass slot anti-tank shield (the
// mechanics of tools/session/mechanics.h, in their order).
constexpr int NeedsWordCount = 10;
const char* needsWord(int k);
std::uint16_t needsFromWord(const std::string& word);  // 0 for none
std::string needsWords(std::uint16_t set);

// The text of one level: its idea as a comment when it has one, its title line, its moves and trap lines when
// known, the rows.
std::string formatLevel(const Level& level);
// "Left Up Space" for presses 0..4; the names the trap line takes.
std::string pressWords(const std::vector<std::uint8_t>& presses);
// A whole level file as text, titled "Level 1", "Level 2"...
std::string dumpRecords(const std::vector<Record>& records, const std::string& fromName);

// Splits a level file's bytes into whole records; `trailing` gets the
// count of bytes after the last whole record.
std::vector<Record> splitRecords(const std::string& bytes, std::size_t* trailing = nullptr);
std::string joinRecords(const std::vector<Record>& records);
// The bytes of the level file that holds `levels`, in order.
std::string compileLevels(const std::vector<Level>& levels);

}  // namespace leveltext
