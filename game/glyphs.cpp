// The level text alphabet: the glyph of each cell kind.
#include "game/glyphs.h"

#include "game/board.h"

namespace leveltext {

char glyphFor(std::uint8_t code) { return code < CellKindCount ? cellKinds[code].glyph : 0; }

int codeForGlyph(char glyph) {
    for (const CellKind& k : cellKinds)
        if (k.glyph == glyph) return k.code;
    return -1;
}

bool recordFromRows(const std::vector<std::string>& rows, std::uint8_t fill, Record& record, std::string& error) {
    record.assign(RecordBytes, fill);
    const std::size_t size = BoardSize;
    for (std::size_t y = 0; y < rows.size() && y < size; ++y)
        for (std::size_t x = 0; x < rows[y].size() && x < size; ++x) {
            const int code = codeForGlyph(rows[y][x]);
            if (code < 0) {
                error = std::string("unknown glyph '") + rows[y][x] + "' in row " + std::to_string(y + 1);
                return false;
            }
            record[y * size + x] = static_cast<std::uint8_t>(code);
        }
    return true;
}

}  // namespace leveltext
