// The level text alphabet: one glyph per cell code.
#include "game/glyphs.h"

#include "game/board.h"

namespace leveltext {

namespace {

struct Glyph {
    CellCode code;
    char glyph;
};

// Mirrors: the open inside of r 7 J L (shaped like the four box corners) and
// the bowl of b d q p face the mirror's two reflecting sides.
constexpr Glyph glyphs[] = {
    {Empty, '_'},
    {Water, '~'},
    {Ground, '.'},
    {BrickWall, '%'},
    {SolidWall, '#'},
    {MovableBlock, 'O'},
    {FixedMirrorRightBottom, 'r'},
    {FixedMirrorLeftBottom, '7'},
    {FixedMirrorLeftTop, 'J'},
    {FixedMirrorRightTop, 'L'},
    {TankStart, 'T'},
    {Goal, 'G'},
    {AntiTankRight, '>'},
    {AntiTankDown, 'v'},
    {AntiTankLeft, '<'},
    {AntiTankUp, '^'},
    {MovableMirrorRightBottom, 'b'},
    {MovableMirrorLeftBottom, 'd'},
    {MovableMirrorLeftTop, 'q'},
    {MovableMirrorRightTop, 'p'},
    {ClearBlock, '+'},       // glass: the beam passes every way
    {HorizontalSlot, '-'},   // passes left and right
    {VerticalSlot, '|'},     // passes up and down
    {SunkBlock, 's'},
    {Rubble, ':'},
    {Scorch, 'x'},
};

constexpr bool inCodeOrder() {
    for (std::size_t i = 0; i < sizeof glyphs / sizeof glyphs[0]; ++i)
        if (glyphs[i].code != i) return false;
    return true;
}
static_assert(inCodeOrder() && sizeof glyphs / sizeof glyphs[0] == Scorch + 1, "one glyph per code, in code order");

}  // namespace

char glyphFor(std::uint8_t code) { return code <= Scorch ? glyphs[code].glyph : 0; }

int codeForGlyph(char glyph) {
    for (const Glyph& g : glyphs)
        if (g.glyph == glyph) return g.code;
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
