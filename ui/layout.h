// Where things stand on the 384x384 screens: one definition for the drawing,
// the clicks and the art that must line up with them.
#pragma once

struct Rect {
    int x;
    int y;
    int width;
    int height;
};

namespace layout {

// The title's buttons, painted into the title picture. "Exit" is also the
// level list's way back, painted into its background.
constexpr Rect GameButton = {150, 258, 224, 50};
constexpr Rect ExitButton = {150, 321, 224, 50};

// The level list: 30 cells of 51x50, six a row, and two page arrows, each a
// 57x57 frame with a glyph inside.
constexpr int LevelCellWidth = 51;
constexpr int LevelCellHeight = 50;
constexpr int LevelsPerRow = 6;
constexpr int LevelsPerPage = 30;
inline int levelCellX(int index) { return 11 + 62 * (index % LevelsPerRow); }
inline int levelCellY(int index) { return 11 + 61 * ((index % LevelsPerPage) / LevelsPerRow); }
constexpr Rect PageUpArrow = {9, 318, 57, 57};
constexpr Rect PageDownArrow = {70, 318, 57, 57};
constexpr int PageUpGlyphX = 24, PageUpGlyphY = 338;
constexpr int PageDownGlyphX = 89, PageDownGlyphY = 339;

// The pause and result screen's three buttons, 229x57 pictures.
constexpr Rect ContinueButton = {77, 192, 229, 57};
constexpr Rect RestartButton = {77, 255, 229, 57};
constexpr Rect LevelsButton = {77, 318, 229, 57};

}  // namespace layout
