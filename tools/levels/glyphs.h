// The level text alphabet: the one glyph of every cell code the game uses,
// for level sources, test boards, benchmark boards and drawn scenes alike.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace leveltext {

// One level: byte y*16 + x is the code of cell (x, y).
using Record = std::array<std::uint8_t, 256>;

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
