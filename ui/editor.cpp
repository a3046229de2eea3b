// The level editor: editing, the verdict searched a slice at a time, test
// play, the panels.
#include "ui/editor.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include <sys/stat.h>

#include "common/data_file.h"
#include "common/files.h"
#include "assets/packs.h"
#include "game/board.h"
#include "game/cell_kinds.h"
#include "game/levels.h"
#include "game/painter.h"
#include "platform/input.h"
#include "platform/platform.h"
#include "render/canvas.h"
#include "render/screen.h"
#include "ui/conveniences.h"
#include "ui/guide.h"
#include "ui/input.h"
#include "ui/player_set.h"
#include "ui/screens.h"
#include "ui/ui_state.h"
#include "ui/window_game.h"

namespace editor {

namespace {

using leveltext::Level;
using leveltext::Record;

// The panels: the palette right of the board, the status below it.
constexpr int RightWidth = PictureWidth - ScreenWidth;
constexpr int BelowHeight = PictureHeight - ScreenHeight;
constexpr int PaletteRows = 13;
constexpr int EntryWidth = 208, EntryHeight = 28;
constexpr int PaletteTop = 8;
// The panels' text rows: the status has StatusRows from StatusTop.
constexpr int RowHeight = GlyphHeight;
constexpr int StatusTop = 4, StatusRows = (BelowHeight - StatusTop) / RowHeight;
constexpr std::uint32_t PanelTint = 0x14181E;  // ink
constexpr std::uint32_t TextTint = 0xF2E4BE;   // cream
constexpr std::uint32_t GoldTint = 0xDEB658;
constexpr std::uint32_t DimTint = 0x9A9484;
constexpr std::uint32_t CursorTint = 0xFFD040;
// A search slice: states between looks at the clock, and the time a frame
// may give it.
constexpr std::uint64_t SliceStates = 64;
constexpr auto SliceTime = std::chrono::microseconds(8000);
// Characters a title or idea may have when typed: each with its cursor
// fits its rows of the status (a row for the title, four for the idea).
constexpr std::size_t MaxTitle = 34, MaxIdea = 140;

// The palette: every cell kind, shown by its row's palette name.
constexpr int KindCount = CellKindCount;

State& st() { return ui().editor; }

Canvas& rightCanvas() {
    static Canvas c(RightWidth, PictureHeight);
    return c;
}
Canvas& belowCanvas() {
    static Canvas c(ScreenWidth, BelowHeight);
    return c;
}

Level& current() { return st().levels[static_cast<std::size_t>(st().index)].level; }

// A new level: a walled room with a tank and a goal.
Level newLevel(int number) {
    Level l;
    l.title = "New Level " + std::to_string(number);
    for (int y = 0; y < BoardSize; ++y)
        for (int x = 0; x < BoardSize; ++x)
            l.cells[y * BoardSize + x] = x >= 4 && x <= 11 && y >= 5 && y <= 10 ? Ground : SolidWall;
    l.cells[9 * BoardSize + 5] = TankStart;
    l.cells[6 * BoardSize + 10] = Goal;
    return l;
}

Entry entryOf(const Level& l) {
    Entry e;
    e.level = l;
    e.loaded = l.cells;
    e.moves = -1;
    return e;
}

// The file's text: each level as the level text writes it, a blank line
// between two; `moves` from the verdict when known, the recorded figures
// kept only for a board as read.
std::string fileText() {
    std::string out;
    for (const Entry& e : st().levels) {
        Level l = e.level;
        const bool asRead = l.cells == e.loaded;
        if (!asRead) {
            l.moves = -1;
            l.trap.clear();
            l.needs = 0;
        }
        if (e.verdictFor == l.cells && e.moves >= 0) l.moves = e.moves;
        if (!out.empty()) out += "\n";
        out += leveltext::formatLevel(l);
    }
    return out;
}

bool writeText(const std::string& file, const std::string& text, std::string& error) {
    const std::string fresh = file + ".new";
    std::FILE* f = std::fopen(fresh.c_str(), "wb");
    if (!f) {
        error = "cannot write " + fresh + " (" + std::strerror(errno) + ")";
        return false;
    }
    const bool wrote = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    const bool closed = std::fclose(f) == 0;
    if (!wrote || !closed || std::rename(fresh.c_str(), file.c_str()) != 0) {
        error = "cannot write " + file + " (" + std::strerror(errno) + ")";
        std::remove(fresh.c_str());
        return false;
    }
    return true;
}

bool readLevels(const std::string& file, std::vector<Level>& levels, bool& missing, std::string& error) {
    std::size_t size = 0;
    std::string reason;
    std::FILE* f = openDataFile(file, size, reason);
    missing = false;
    if (!f) {
        struct stat info;
        missing = stat(file.c_str(), &info) != 0 && errno == ENOENT;
        error = "cannot open " + file + " (" + reason + ")";
        return false;
    }
    std::string text(size, '\0');
    const std::size_t got = size ? std::fread(&text[0], 1, size, f) : 0;
    std::fclose(f);
    text.resize(got);
    std::vector<leveltext::Diagnostic> diagnostics;
    if (!leveltext::parseSource(text, file, levels, diagnostics)) {
        for (const leveltext::Diagnostic& d : diagnostics)
            if (!d.warning) {
                error = d.text();
                break;
            }
        return false;
    }
    return true;
}

// --- The verdict ---

int countOf(const Record& cells, std::uint8_t code) {
    int n = 0;
    for (std::uint8_t c : cells) n += c == code;
    return n;
}

// What is wrong with the board for play, or "".
std::string problemOf(const Record& cells) {
    const int tanks = countOf(cells, TankStart);
    if (tanks == 0) return "no tank start";
    if (tanks > 1) return "more than one tank start";
    if (countOf(cells, Goal) == 0) return "no goal";
    return "";
}

// The current level placed as play places it, on a game of its own.
void placeBoard() {
    st().board = Game{};
    st().board.display = &display();
    setLevels(st().board.levels, current().cells.data(), 1);
    placeLevel(st().board, 0);
    st().board.play.screen = Playing;
}

std::string thousands(std::uint64_t n) {
    std::string digits = std::to_string(n), out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i && (digits.size() - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return out;
}

// The board changed (or another level is shown): the search in progress is
// dropped, and a new one starts unless the board is not playable.
void boardChanged() {
    st().search.reset();
    st().exploring = false;
    st().moves = -1;
    st().traps.clear();
    placeBoard();
    const Entry& e = st().levels[static_cast<std::size_t>(st().index)];
    const std::string problem = problemOf(e.level.cells);
    if (!problem.empty()) {
        st().verdict = problem;
        return;
    }
    Game from = st().board;
    from.display = nullptr;
    st().search = guide::startSearch(guide::SearchRequest{VerdictStates, &from, false});
    st().verdict = st().search ? "searching\xE2\x80\xA6 1 state" : "no solver";
}

void searchEnded() {
    Entry& e = st().levels[static_cast<std::size_t>(st().index)];
    guide::Search& s = *st().search;
    if (st().exploring) {
        if (s.answer() == guide::Search::GaveUp)
            st().traps = "unknown (over " + thousands(TrapStates) + " states)";
        else if (s.fewestToLoss() < 0)
            st().traps = "none, a win is always left";
        else
            st().traps = "lost after " + std::to_string(s.fewestToLoss()) + " presses at the fewest; " +
                       std::to_string(s.firstKeepingWin()) + " of 5 first presses keep a win";
        st().search.reset();
        st().exploring = false;
        return;
    }
    switch (s.answer()) {
        case guide::Search::Found:
            st().moves = static_cast<int>(s.keys().size());
            st().verdict = "wins in " + std::to_string(st().moves) + (st().moves == 1 ? " press" : " presses");
            e.verdictFor = e.level.cells;
            e.moves = st().moves;
            break;
        case guide::Search::NoWin: st().verdict = "no win: all " + thousands(s.states()) + " states searched"; break;
        default: st().verdict = "no answer: over " + thousands(s.states()) + " states"; break;
    }
    st().search.reset();
    if (st().moves < 0 || !st().exploreTraps) return;
    // Then the traps: every reachable state, to find where a win is lost.
    Game from = st().board;
    from.display = nullptr;
    st().search = guide::startSearch(guide::SearchRequest{TrapStates, &from, true});
    st().exploring = st().search != nullptr;
}

// A slice of the search; all of it when `whole`.
void advanceSearch(bool whole) {
    const auto until = std::chrono::steady_clock::now() + SliceTime;
    while (st().search) {
        if (st().search->advance(SliceStates)) {
            searchEnded();
            continue;
        }
        if (!st().exploring) st().verdict = "searching\xE2\x80\xA6 " + thousands(st().search->states()) + " states";
        if (!whole && std::chrono::steady_clock::now() >= until) return;
    }
}

// --- Editing ---

void say(const std::string& text) { st().message = text; }

// Before a change to the current level: kept for undo.
void keep() {
    st().undo.push_back(Step{st().index, current(), false});
    st().dragging = false;
    st().unsaved = true;
    st().leaveAsked = false;
}

void paint(int x, int y, bool drag) {
    if (x < 0 || y < 0 || x >= BoardSize || y >= BoardSize) return;
    std::uint8_t& cell = current().cells[y * BoardSize + x];
    if (cell == st().chosen) return;
    // A drag's cells are one step with its click's.
    if (!(drag && st().dragging)) keep();
    if (drag) st().dragging = true;
    cell = static_cast<std::uint8_t>(st().chosen);
    st().cursorX = x;
    st().cursorY = y;
    boardChanged();
}

void undo() {
    st().dragging = false;
    if (st().undo.empty()) {
        say("nothing to undo");
        return;
    }
    Step s = st().undo.back();
    st().undo.pop_back();
    if (s.added) {
        st().levels.erase(st().levels.begin() + s.index);
        st().index = s.index > 0 ? s.index - 1 : 0;
        say("undone: the new level");
    } else {
        st().index = s.index;
        current() = s.before;
        say("undone");
    }
    st().unsaved = true;
    boardChanged();
}

void addLevel() {
    st().dragging = false;
    const int at = st().index + 1;
    st().levels.insert(st().levels.begin() + at, entryOf(newLevel(static_cast<int>(st().levels.size()) + 1)));
    st().levels[static_cast<std::size_t>(at)].loaded.clear();  // never read: nothing recorded holds
    st().undo.push_back(Step{at, Level(), true});
    st().index = at;
    st().unsaved = true;
    say("a new level");
    boardChanged();
}

void turnPage(int delta) {
    const int to = st().index + delta;
    if (to < 0 || to >= static_cast<int>(st().levels.size())) return;
    st().dragging = false;
    st().index = to;
    boardChanged();
}

void save() {
    std::string error;
    if (!writeText(st().file, fileText(), error)) {
        say(error);
        return;
    }
    st().unsaved = false;
    st().leaveAsked = false;
    say("saved " + st().file);
}

void startText(Field field) {
    st().field = field;
    st().text = field == Field::Title ? current().title : current().idea;
    say(field == Field::Title ? "title: type, Enter ends, Escape leaves it" : "idea: type, Enter ends, Escape leaves it");
}

void endText(bool keepIt) {
    const Field field = st().field;
    st().field = Field::None;
    say("");
    if (!keepIt) return;
    std::string text = st().text;
    while (!text.empty() && text.back() == ' ') text.pop_back();
    while (!text.empty() && text.front() == ' ') text.erase(0, 1);
    if (field == Field::Title && text.empty()) return;
    std::string& target = field == Field::Title ? current().title : current().idea;
    if (target == text) return;
    keep();
    target = text;
}

// --- Test play ---

void startTest() {
    const std::string problem = problemOf(current().cells);
    if (!problem.empty()) {
        say("test play needs a board to play: " + problem);
        return;
    }
    st().saved = game();
    // Test play keeps no progress, counts nothing and shows no titles of the
    // level file's levels; undo and sound stay as they are.
    st().savedSet = playerSet();
    playerSet().save = playerSet().counter = playerSet().guide = false;
    Game& g = game();
    setLevels(g.levels, current().cells.data(), 1);
    g.play = PlayState{};
    placeLevel(g, 0);
    ++g.levels.starts;
    g.play.screen = Playing;
    st().testing = true;
    st().presses = 0;
    st().won = false;
    say("test play: Escape returns to the editor");
}

void endTest() {
    st().testing = false;
    game() = st().saved;
    playerSet() = st().savedSet;
    say(st().won ? "test play won in " + std::to_string(st().presses) + " presses" : "");
}

bool isPress(int key) {
    switch (key) {
        case KeyLeft: case KeyRight: case KeyUp: case KeyDown: case KeySpace:
        case KeyW: case KeyA: case KeyS: case KeyD: return true;
        default: return false;
    }
}

void testKey(int key) {
    if (key == KeyEscape) {
        endTest();
        return;
    }
    const bool counted = game().play.screen == Playing && game().play.outcome == InPlay && isPress(key);
    if (counted) ++st().presses;
    ::onKey(key);
    if (st().testing && game().play.outcome == Won && !st().won) {
        st().won = true;
        say("test play won in " + std::to_string(st().presses) + " presses: Escape returns");
    }
}

// --- Leaving ---

void leave() {
    st().search.reset();
    if (!st().copyMode) platform::quit(0);
    st().active = false;
    platform::setEditHandlers(nullptr, nullptr);
    // The handlers as they were: the game's, or those of --record around them.
    platform::setInputHandlers(st().before.key, st().before.click, st().before.tap);
    platform::setPictureSize(ScreenWidth, ScreenHeight);
    // The game's own title again (its last one is still the one it knows).
    platform::setWindowTitle(counterTitle().c_str());
    setScreen(LevelSelect);
}

void askOrLeave() {
    if (st().unsaved && !st().leaveAsked) {
        st().leaveAsked = true;
        say("unsaved changes: Ctrl+S saves, Escape again leaves");
        return;
    }
    leave();
}

// --- Drawing ---

void fill(Canvas& c, std::uint32_t tint) {
    if (!display().drawing) return;
    const std::uint8_t b = tint & 0xFF, g = (tint >> 8) & 0xFF, r = (tint >> 16) & 0xFF;
    for (int i = 0; i < c.width * c.height; ++i) {
        c.pixels[3 * i] = b;
        c.pixels[3 * i + 1] = g;
        c.pixels[3 * i + 2] = r;
    }
}

// A one-pixel frame of w x h at (x, y) of a picture `width` wide.
void frameRect(std::uint8_t* pixels, int width, int height, int x, int y, int w, int h, std::uint32_t tint) {
    if (!display().drawing) return;
    auto put = [&](int px, int py) {
        if (px < 0 || py < 0 || px >= width || py >= height) return;
        std::uint8_t* p = pixels + 3 * (py * width + px);
        p[0] = tint & 0xFF;
        p[1] = (tint >> 8) & 0xFF;
        p[2] = (tint >> 16) & 0xFF;
    };
    for (int i = 0; i < w; ++i) {
        put(x + i, y);
        put(x + i, y + h - 1);
    }
    for (int i = 0; i < h; ++i) {
        put(x, y + i);
        put(x + w - 1, y + i);
    }
}

// The glyphs are ASCII: an ellipsis is three dots.
std::string ascii(std::string s) {
    for (std::size_t at; (at = s.find("\xE2\x80\xA6")) != std::string::npos;) s.replace(at, 3, "...");
    return s;
}

// One row of text; what passes the canvas's right edge is cut with "..."
// and counted (View::cut).
void text(Canvas& c, int x, int y, std::string shown, std::uint32_t tint) {
    const std::size_t fits = static_cast<std::size_t>((c.width - x) / GlyphWidth);
    if (shown.size() > fits) {
        ++st().cut;
        shown = shown.substr(0, fits > 3 ? fits - 3 : 0) + "...";
    }
    Sprite glyphs = sprites().glyphSprite;
    glyphs.canvas = &c;
    for (std::size_t i = 0; i < shown.size(); ++i) {
        const int ch = static_cast<unsigned char>(shown[i]);
        if (ch <= GlyphFirst || ch >= GlyphFirst + GlyphCount) continue;
        glyphs.drawFrameTinted(x + GlyphWidth * static_cast<int>(i), y, 0, ch - GlyphFirst, tint);
    }
}

// `s` in rows of at most `columns` characters, broken at spaces (a word
// longer than a row, such as a path, where the row ends).
std::vector<std::string> wrap(const std::string& s, std::size_t columns) {
    std::vector<std::string> rows;
    std::string row;
    std::size_t at = 0;
    while (at < s.size()) {
        const std::size_t space = s.find(' ', at);
        std::string word = s.substr(at, space == std::string::npos ? std::string::npos : space - at);
        at = space == std::string::npos ? s.size() : space + 1;
        while (!word.empty()) {
            const std::size_t room = row.empty() ? columns : columns - std::min(columns, row.size() + 1);
            if (word.size() <= room) {
                row += (row.empty() ? "" : " ") + word;
                break;
            }
            if (!row.empty() && (word.size() <= columns || room == 0)) {
                rows.push_back(row);
                row.clear();
                continue;
            }
            // Longer than a row: as much as fits here, the rest on the next.
            row += (row.empty() ? "" : " ") + word.substr(0, room);
            word.erase(0, room);
            rows.push_back(row);
            row.clear();
        }
    }
    if (!row.empty() || rows.empty()) rows.push_back(row);
    return rows;
}

// Text at row `row` of a panel's rows from `top`, wrapped to its width;
// the rows it took. What the rows up to `lastRow` cannot hold is cut with
// "..." and counted (View::cut).
int rows(Canvas& c, int x, int top, int row, int lastRow, const std::string& s, std::uint32_t tint) {
    const std::size_t columns = static_cast<std::size_t>((c.width - x) / GlyphWidth);
    std::vector<std::string> lines = wrap(ascii(s), columns);
    const int room = lastRow - row + 1;
    if (room <= 0) {
        ++st().cut;
        return 0;
    }
    if (static_cast<int>(lines.size()) > room) {
        ++st().cut;
        lines.resize(static_cast<std::size_t>(room));
        std::string& end = lines.back();
        end = end.substr(0, std::min(end.size(), columns - 3)) + "...";
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        text(c, x, top + RowHeight * (row + static_cast<int>(i)), lines[i], tint);
        if (&c == &belowCanvas()) st().status.push_back(lines[i]);
    }
    return static_cast<int>(lines.size());
}

// The picture of cell code `code` alone, as the board shows it.
const std::uint8_t* kindPicture(int code) {
    Game one;
    one.display = &display();
    Record cells(leveltext::RecordBytes, Ground);
    cells[8 * BoardSize + 8] = static_cast<std::uint8_t>(code);
    setLevels(one.levels, cells.data(), 1);
    placeLevel(one, 0);
    return cellImage(one, 8, 8, true);
}

void drawPalette() {
    Canvas& c = rightCanvas();
    for (int k = 0; k < KindCount; ++k) {
        const int x = paletteX(cellKinds[k].code) - ScreenWidth, y = paletteY(cellKinds[k].code);
        if (cellKinds[k].code == TankStart) {
            sprites().tankCanvas.blit(kindPicture(Ground), 0, 0, 24, 24);
            sprites().tankSprite.draw(0, 0, 270);
            c.blit(sprites().tankCanvas.pixels, x, y, 24, 24);
        } else if (cellKinds[k].code == Empty) {
            frameRect(c.pixels, c.width, c.height, x, y, 24, 24, DimTint);
        } else {
            c.blit(kindPicture(cellKinds[k].code), x, y, 24, 24);
        }
        const char glyph[2] = {leveltext::glyphFor(cellKinds[k].code), 0};
        text(c, x + 28, y + 4, std::string(glyph) + " " + cellKinds[k].palette, cellKinds[k].code == st().chosen ? GoldTint : TextTint);
        if (cellKinds[k].code == st().chosen) frameRect(c.pixels, c.width, c.height, x - 2, y - 2, EntryWidth - 4, 28, GoldTint);
    }
    const int help = PaletteTop + PaletteRows * EntryHeight + 6;
    text(c, 8, help, "click/drag paints; a glyph chooses", DimTint);
    text(c, 8, help + 17, "arrows move, Space paints; U undoes", DimTint);
    text(c, 8, help + 34, "N new level; PgUp/PgDn; t test play", DimTint);
    text(c, 8, help + 51, "F2 title, F3 idea; Ctrl+S saves", DimTint);
    const int messageTop = help + 68;
    rows(c, 8, messageTop, 0, (PictureHeight - messageTop) / RowHeight - 1, st().message, GoldTint);
}

// The status: the level, the title, the idea, the verdict and the traps,
// each wrapped to the panel's width; the verdict and the traps always
// whole, the idea in the rows they leave.
void drawStatus() {
    Canvas& c = belowCanvas();
    const Level& l = current();
    std::string head = "Level " + std::to_string(st().index + 1) + "/" + std::to_string(st().levels.size());
    if (st().unsaved) head += ", unsaved";
    if (st().testing)
        head += st().won ? ", test play won in " + std::to_string(st().presses)
                         : ", test play: " + std::to_string(st().presses) + " presses";
    const std::size_t columns = static_cast<std::size_t>((c.width - 6) / GlyphWidth);
    const std::string verdict = "Verdict: " + st().verdict;
    const std::string traps = st().traps.empty() ? std::string() : "Traps: " + st().traps;
    const int below = static_cast<int>(wrap(ascii(verdict), columns).size()) +
                      (traps.empty() ? 0 : static_cast<int>(wrap(ascii(traps), columns).size()));
    const bool title = st().field == Field::Title, idea = st().field == Field::Idea;
    // A field being typed shows its cursor, and its end where the rows
    // cannot hold it all (a long text read from a file).
    const auto typing = [&](const std::string& label, int room) {
        for (std::size_t from = 0;; ++from) {
            const std::string shown = label + (from ? "..." : "") + st().text.substr(from) + "_";
            if (from >= st().text.size() || static_cast<int>(wrap(ascii(shown), columns).size()) <= room) return shown;
        }
    };
    int row = rows(c, 6, StatusTop, 0, 0, head, GoldTint);
    row += rows(c, 6, StatusTop, row, row, title ? typing("Title: ", 1) : "Title: " + l.title,
                title ? GoldTint : TextTint);
    const int ideaRoom = StatusRows - below - row;
    row += rows(c, 6, StatusTop, row, StatusRows - 1 - below, idea ? typing("Idea: ", ideaRoom) : "Idea: " + l.idea,
                idea ? GoldTint : TextTint);
    row += rows(c, 6, StatusTop, row, StatusRows - 1, verdict, TextTint);
    if (!traps.empty()) rows(c, 6, StatusTop, row, StatusRows - 1, traps, DimTint);
}

void drawBoard() {
    drawBoardOf(st().board);
    // Every tank start shows the tank; placing shows only the last.
    const Record& cells = current().cells;
    for (int i = 0; i < 256; ++i) {
        if (cells[i] != TankStart) continue;
        const int x = i % BoardSize, y = i / BoardSize;
        if (x == st().board.play.tank.x && y == st().board.play.tank.y) continue;
        sprites().tankCanvas.blit(cellImage(st().board, x, y, false), 0, 0, 24, 24);
        sprites().tankSprite.draw(0, 0, 270);
        sprites().tankCanvas.present(24 * x, 24 * y);
    }
    if (countOf(cells, TankStart) == 0) {
        // No tank to show: the cell under where placing left it, drawn again.
        const int x = st().board.play.tank.x, y = st().board.play.tank.y;
        blitToScreen(cellImage(st().board, x, y, true), 24, 24, 24 * y, 24 * x);
    }
    frameRect(display().buffer, ScreenWidth, ScreenHeight, 24 * st().cursorX, 24 * st().cursorY, 24, 24, CursorTint);
    frameRect(display().buffer, ScreenWidth, ScreenHeight, 24 * st().cursorX + 1, 24 * st().cursorY + 1, 22, 22, 0);
}

std::string windowTitle() {
    std::string name = st().file;
    const std::size_t slash = name.rfind('/');
    if (slash != std::string::npos) name = name.substr(slash + 1);
    std::string t = "Brimvale editor: " + name + (st().unsaved ? "*" : "") + ", level " + std::to_string(st().index + 1) +
                    "/" + std::to_string(st().levels.size()) + ": ";
    if (st().testing)
        t += st().won ? "test play won in " + std::to_string(st().presses) + " presses"
                    : "test play, " + std::to_string(st().presses) + " presses";
    else
        t += st().verdict;
    return t;
}

void compose() {
    if (!display().drawing) return;
    st().picture.assign(static_cast<std::size_t>(PictureWidth) * PictureHeight * 3, 0);
    for (int y = 0; y < PictureHeight; ++y) {
        std::uint8_t* row = &st().picture[static_cast<std::size_t>(y) * PictureWidth * 3];
        if (y < ScreenHeight)
            std::memcpy(row, display().buffer + y * ScreenWidth * 3, ScreenWidth * 3);
        else
            std::memcpy(row, belowCanvas().pixels + (y - ScreenHeight) * ScreenWidth * 3, ScreenWidth * 3);
        std::memcpy(row + ScreenWidth * 3, rightCanvas().pixels + y * RightWidth * 3, RightWidth * 3);
    }
}

void draw() {
    const std::string title = windowTitle();
    if (title != st().title) {
        st().title = title;
        platform::setWindowTitle(title.c_str());
    }
    if (!display().drawing) {
        platform::pollEvents();
        return;
    }
    beginFrame();
    st().cut = 0;
    st().status.clear();
    fill(rightCanvas(), PanelTint);
    fill(belowCanvas(), PanelTint);
    drawPalette();
    drawStatus();
    platform::updateTexture(ScreenWidth, 0, RightWidth, PictureHeight, rightCanvas().pixels);
    platform::updateTexture(0, ScreenHeight, ScreenWidth, BelowHeight, belowCanvas().pixels);
    if (st().testing) {
        // The game's own screen, drawn and presented as play draws it.
        compose();
        drawScreen();
        return;
    }
    drawBoard();
    compose();
    presentScreen();
    platform::swapBuffers();
    platform::pollEvents();
}

void takeInput() {
    platform::setInputHandlers(onKey, onClick);
    platform::setEditHandlers(onChar, onDrag);
}

bool start(const std::string& file, std::vector<Level> levels, int index, bool traps) {
    const platform::InputHandlers before = st().active ? st().before : platform::inputHandlers();
    reset();
    st().before = before;
    st().active = true;
    st().exploreTraps = traps;
    st().file = file;
    for (const Level& l : levels) st().levels.push_back(entryOf(l));
    st().index = index < 0 ? 0 : index >= static_cast<int>(st().levels.size()) ? static_cast<int>(st().levels.size()) - 1 : index;
    const Record& cells = current().cells;
    for (int i = 0; i < 256; ++i)
        if (cells[i] == TankStart) {
            st().cursorX = i % BoardSize;
            st().cursorY = i / BoardSize;
        }
    takeInput();
    platform::setPictureSize(PictureWidth, PictureHeight);
    boardChanged();
    return true;
}

}  // namespace

int paletteX(int code) {
    for (int k = 0; k < KindCount; ++k)
        if (cellKinds[k].code == code) return ScreenWidth + 8 + EntryWidth * (k / PaletteRows);
    return -1;
}

int paletteY(int code) {
    for (int k = 0; k < KindCount; ++k)
        if (cellKinds[k].code == code) return PaletteTop + EntryHeight * (k % PaletteRows);
    return -1;
}

bool open(const std::string& file, int index, std::string& error, bool traps) {
    std::vector<Level> levels;
    bool missing = false;
    if (!readLevels(file, levels, missing, error)) {
        if (!missing) return false;
        levels = {newLevel(1)};
        std::string text = leveltext::formatLevel(levels[0]);
        if (!writeText(file, text, error)) return false;
        error.clear();
    }
    if (levels.empty()) {
        error = file + " holds no level";
        return false;
    }
    return start(file, levels, index, traps);
}

std::string ownLevelFile() { return common::userDataFile("levels/mine.txt"); }

bool openCopy(int index, const std::string& title, std::string& error) {
    const std::string file = ownLevelFile();
    if (file.empty()) {
        error = "no folder for the player's own levels (neither XDG_DATA_HOME nor HOME is set)";
        return false;
    }
    std::vector<Level> levels;
    bool missing = false;
    if (!readLevels(file, levels, missing, error) && !missing) return false;
    Level copy;
    copy.title = title;
    std::memcpy(copy.cells.data(), game().levels.data.data() + static_cast<std::size_t>(index) * LevelRecordBytes,
                LevelRecordBytes);
    levels.push_back(copy);
    // The folders first: .../brimvale/levels.
    for (std::size_t at = file.find('/', 1); at != std::string::npos; at = file.find('/', at + 1))
        mkdir(file.substr(0, at).c_str(), 0755);
    std::string text;
    for (const Level& l : levels) text += (text.empty() ? "" : "\n") + leveltext::formatLevel(l);
    if (!writeText(file, text, error)) return false;
    start(file, levels, static_cast<int>(levels.size()) - 1, true);
    st().copyMode = true;
    say("a copy in " + file);
    return true;
}

bool active() { return st().active; }

void frame() {
    // Nothing to search: the loop need not spin.
    if (!st().search) platform::pause(10000, 10);
    advanceSearch(false);
    draw();
}

void settle() { advanceSearch(true); }

bool mayClose() {
    if (!st().active || !st().unsaved || st().leaveAsked) return true;
    st().leaveAsked = true;
    say("unsaved changes: Ctrl+S saves, close again leaves");
    return false;
}

void onKey(int key) {
    if (st().testing) {
        testKey(key);
        return;
    }
    if (st().field != Field::None) {
        if (key == KeyEnter) endText(true);
        if (key == KeyEscape) endText(false);
        if (key == KeyBackspace && !st().text.empty()) st().text.pop_back();
        return;
    }
    if (key != KeyEscape) st().leaveAsked = false;
    switch (key) {
        case KeyLeft: if (st().cursorX > 0) --st().cursorX; break;
        case KeyRight: if (st().cursorX < BoardSize - 1) ++st().cursorX; break;
        case KeyUp: if (st().cursorY > 0) --st().cursorY; break;
        case KeyDown: if (st().cursorY < BoardSize - 1) ++st().cursorY; break;
        case KeySpace: paint(st().cursorX, st().cursorY, false); break;
        case KeyCtrlZ: undo(); break;
        case KeyPageUp: turnPage(-1); break;
        case KeyPageDown: turnPage(1); break;
        case KeyF2: startText(Field::Title); break;
        case KeyF3: startText(Field::Idea); break;
        case KeyCtrlS: save(); break;
        case KeyEscape: askOrLeave(); break;
        default: break;
    }
    if (key == KeyLeft || key == KeyRight || key == KeyUp || key == KeyDown) st().dragging = false;
}

void onChar(int c) {
    if (st().testing) return;
    if (st().field != Field::None) {
        const std::size_t most = st().field == Field::Title ? MaxTitle : MaxIdea;
        if (c >= 32 && c < 127 && st().text.size() < most) st().text += static_cast<char>(c);
        return;
    }
    // Letters that are no glyph are commands; a glyph chooses its kind.
    if (c == 'u' || c == 'U') {
        undo();
        return;
    }
    if (c == 'n' || c == 'N') {
        addLevel();
        return;
    }
    if (c == 't') {
        startTest();
        return;
    }
    const int code = c > 0 && c < 127 ? leveltext::codeForGlyph(static_cast<char>(c)) : -1;
    if (code >= 0 && code < KindCount) {
        st().chosen = code;
        st().dragging = false;
    }
}

void onClick(int x, int y) {
    if (st().testing) {
        if (x < ScreenWidth && y < ScreenHeight) ::onMouseClick(x, y);
        return;
    }
    if (st().field != Field::None) return;
    if (x >= 0 && y >= 0 && x < ScreenWidth && y < ScreenHeight) {
        st().dragging = false;
        paint(x / 24, y / 24, true);
        return;
    }
    for (int k = 0; k < KindCount; ++k) {
        const int px = paletteX(cellKinds[k].code), py = paletteY(cellKinds[k].code);
        if (x >= px - 2 && x < px - 2 + EntryWidth && y >= py - 2 && y < py - 2 + EntryHeight) {
            st().chosen = cellKinds[k].code;
            st().dragging = false;
        }
    }
}

void onDrag(int x, int y) {
    if (st().testing || st().field != Field::None) return;
    if (x >= 0 && y >= 0 && x < ScreenWidth && y < ScreenHeight) paint(x / 24, y / 24, true);
}

View view() {
    View v;
    v.file = st().file;
    v.level = st().index;
    v.levels = static_cast<int>(st().levels.size());
    if (st().active) v.current = current();
    v.verdict = st().verdict;
    v.moves = st().moves;
    v.traps = st().traps;
    v.message = st().message;
    v.unsaved = st().unsaved;
    v.testing = st().testing;
    v.testPresses = st().presses;
    v.testWon = st().won;
    v.chosen = st().chosen;
    v.cursorX = st().cursorX;
    v.cursorY = st().cursorY;
    v.title = windowTitle();
    v.status = st().status;
    v.cut = st().cut;
    return v;
}

const std::vector<std::uint8_t>& picture() { return st().picture; }

void reset() {
    st().search.reset();
    st() = State{};
}

}  // namespace editor
