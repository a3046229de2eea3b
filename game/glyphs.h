// The level text alphabet: one glyph for every cell code the game uses.
// Level sources, test boards, benchmark boards and drawn scenes all use it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace leveltext {

// One level: RecordBytes bytes, byte y*16 + x the code of cell (x, y). The
// tests' records are these too.
using Record = std::vector<std::uint8_t>;
constexpr std::size_t RecordBytes = 256;

// The glyph of a cell code, or 0 for a code written only as an escape
// (26 to 255).
char glyphFor(std::uint8_t code);
// The code of a glyph, or -1 when the character is no glyph.
int codeForGlyph(char glyph);

// A record from up to 16 rows of up to 16 glyphs, row y holding cells
// (0, y) to (15, y); the cells the rows leave out are `fill`. False with a
// message naming the first character that is no glyph.
bool recordFromRows(const std::vector<std::string>& rows, std::uint8_t fill, Record& record, std::string& error);

}  // namespace leveltext
