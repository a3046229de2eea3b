// What the player set's guide shows: titles, result banners, marks, notes and
// the hint's arrow, and what it adds to the window title.
#include "ui/guide.h"

#include <cstring>
#include <map>

#include "assets/packs.h"
#include "game/levels.h"
#include "game/play_state.h"
#include "platform/input.h"
#include "render/screen.h"
#include "ui/layout.h"
#include "ui/player_set.h"
#include "ui/progress.h"
#include "ui/ui_state.h"
#include "ui/window_game.h"

namespace guide {

namespace {

// How long things stay, in milliseconds of the main loop's clock (only
// tick() reads it, ui/guide_play.h: the headless replay never ticks, and
// shows each thing until a key or the next step takes it away).
constexpr int TitleMillis = 3000;
constexpr int NoteMillis = 2000;

constexpr std::uint32_t TextTint = 0xF2E4BE;    // cream
constexpr std::uint32_t GoldTint = 0xDEB658;    // gold
constexpr std::uint32_t ShadowTint = 0x000000;
constexpr std::uint32_t DarkTint = 0x14181E;    // ink

// The window game's.
State& my() { return ui().guide; }

const char* keyName(int key) {
    switch (key) {
        case KeyLeft: return "Left";
        case KeyRight: return "Right";
        case KeyUp: return "Up";
        case KeyDown: return "Down";
        case KeySpace: return "Space";
        default: return "?";
    }
}

bool hintShowing() { return my().hintKey != 0 && game().play.outcome == InPlay && same(my().hintSpot, spotOf(game())); }

void blitScreen() { sprites().screenCanvas.blit(display().buffer, 0, 0, ScreenWidth, ScreenHeight); }

void centred(int y, const std::string& text, std::uint32_t tint) {
    drawText((ScreenWidth - GlyphWidth * static_cast<int>(text.size())) / 2, y, text, tint);
}

// Up to three lines on the banner, its top at y.
void bannerLines(int y, const std::vector<std::string>& lines) {
    sprites().bannerSprite.draw((ScreenWidth - BannerWidth) / 2, y, 0);
    const int first = y + (BannerHeight - 18 * static_cast<int>(lines.size())) / 2 + 1;
    for (std::size_t i = 0; i < lines.size(); ++i)
        centred(first + 18 * static_cast<int>(i), lines[i], i == 0 ? GoldTint : TextTint);
}

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (true) {
        const std::size_t nl = text.find('\n', start);
        lines.push_back(text.substr(start, nl == std::string::npos ? std::string::npos : nl - start));
        if (nl == std::string::npos) break;
        start = nl + 1;
    }
    return lines;
}

// A short note in shadowed text at the foot of the screen, or a banner.
void drawNote(int footY) {
    if (my().noteMillis <= 0 || my().note.empty()) return;
    if (my().noteBanner) {
        bannerLines(156, splitLines(my().note));
        return;
    }
    const int x = (ScreenWidth - GlyphWidth * static_cast<int>(my().note.size())) / 2;
    drawText(x + 1, footY + 1, my().note, ShadowTint);
    drawText(x, footY, my().note, TextTint);
}

}  // namespace

Spot spotOf(const Game& g) { return Spot{g.play.board, g.play.tank}; }

bool same(const Spot& a, const Spot& b) {
    return std::memcmp(&a.board, &b.board, sizeof(Board)) == 0 && a.tank.x == b.tank.x && a.tank.y == b.tank.y &&
           a.tank.dx == b.tank.dx && a.tank.dy == b.tank.dy;
}

void note(const std::string& text, const std::string& title, bool banner) {
    my().note = text;
    my().noteTitle = title;
    my().noteBanner = banner;
    my().noteMillis = NoteMillis;
}

// A new level start: its title shows, and hints of the last one are gone.
void followStarts() {
    if (my().titleStart == game().levels.starts) return;
    my().titleStart = game().levels.starts;
    my().titleMillis = TitleMillis;
    my().hintKey = 0;
    my().pathKeys.clear();
    my().pathSpots.clear();
}

bool titleShowing() {
    followStarts();
    return my().titleMillis > 0;
}

void connectSearch(SearchStart start) { uiConnections().startSearch = start; }

std::unique_ptr<Search> startSearch(const SearchRequest& request) {
    return uiConnections().startSearch ? uiConnections().startSearch(request) : nullptr;
}

void setTitle(int index, const std::string& title) { my().titles[index] = title; }

std::string titleOf(int index) {
    const auto t = my().titles.find(index);
    return t == my().titles.end() ? std::string() : t->second;
}

void noteMute(bool muted) { note(muted ? "Sound off (M)" : "Sound on (M)", muted ? "sound off" : "sound on", false); }

bool helped() { return my().helpedStart == game().levels.starts; }

void noteWin(int presses, bool newBest) {
    my().winPresses = presses;
    my().winBest = newBest;
}

void drawText(int x, int y, const std::string& text, std::uint32_t tint) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int c = static_cast<unsigned char>(text[i]);
        if (c <= GlyphFirst || c >= GlyphFirst + GlyphCount) continue;
        sprites().glyphSprite.drawFrameTinted(x + GlyphWidth * static_cast<int>(i), y, 0, c - GlyphFirst, tint);
    }
}

void drawOverPlaying() {
    const bool title = titleShowing() && !my().playing;
    const bool hint = hintShowing();
    const bool noted = my().noteMillis > 0 && !my().note.empty();
    if (!title && !hint && !noted) return;
    blitScreen();
    if (hint) {
        float angle = game().play.tank.angle;
        if (my().hintKey == KeyRight) angle = 0;
        if (my().hintKey == KeyDown) angle = 90;
        if (my().hintKey == KeyLeft) angle = 180;
        if (my().hintKey == KeyUp) angle = 270;
        sprites().hintArrowSprite.draw(24 * game().play.tank.x, 24 * game().play.tank.y, angle);
    }
    if (title) {
        std::vector<std::string> lines{"Level " + std::to_string(game().play.level + 1)};
        const std::string name = titleOf(game().play.level);
        if (!name.empty()) lines.push_back(name);
        lines.push_back("H hint  U undo  R restart");
        bannerLines(156, lines);
    }
    drawNote(364);
    sprites().screenCanvas.present(0, 0);
}

void drawOverResult(int par) {
    if (my().playing) {
        if (game().play.outcome == Won) bannerLines(40, {"Won in " + std::to_string(my().watchKeys.size()) + " presses"});
    } else if (game().play.outcome == Won) {
        std::vector<std::string> lines{"Level " + std::to_string(game().play.level + 1) + " won!"};
        std::string count = "in " + std::to_string(my().winPresses) + " press" + (my().winPresses == 1 ? "" : "es");
        if (par >= 0) count += ", fewest possible " + std::to_string(par);
        if (my().winPresses >= 0) lines.push_back(count);
        if (helped())
            lines.push_back("won with a hint");
        else if (my().winBest)
            lines.push_back("A new best!");
        else if (progress::best(game().play.level) >= 0)
            lines.push_back("your best: " + std::to_string(progress::best(game().play.level)));
        bannerLines(40, lines);
    } else if (game().play.outcome == Lost) {
        bannerLines(40, {"Lost", playerSet().undo ? "U takes the last press back" : "R restarts the level",
                         "S shows a way to win"});
    }
    drawNote(160);
}

void drawOverLevelSelect(int x, int y, int index) {
    if (progress::best(index) >= 0)
        sprites().wonMarkSprite.draw(x + 33, y + 2, 0);
    else if (progress::helpedBest(index) >= 0)
        sprites().helpedMarkSprite.draw(x + 33, y + 2, 0);
}

void drawUnderLevelList() {
    // The highlighted level's title in the gap below its row (above it for
    // the last row), centred on its cell.
    const std::string name = titleOf(game().play.level);
    if (!name.empty()) {
        const int width = GlyphWidth * static_cast<int>(name.size());
        int x = layout::levelCellX(game().play.level) + layout::LevelCellWidth / 2 - width / 2;
        x = x < 4 ? 4 : x + width > ScreenWidth - 4 ? ScreenWidth - 4 - width : x;
        const int row = (game().play.level % layout::LevelsPerPage) / layout::LevelsPerRow;
        const int y = row < 4 ? layout::levelCellY(game().play.level) + layout::LevelCellHeight - 2
                              : layout::levelCellY(game().play.level) - 13;
        drawText(x, y, name, DarkTint);
    }
    drawNote(364);
}

std::string titleAdditions() {
    std::string out;
    if ((game().play.screen == Playing || game().play.screen == Result) && !titleOf(game().play.level).empty())
        out += ": " + titleOf(game().play.level);
    return out;
}

std::string titleNote() {
    if (hintShowing()) return std::string("hint: ") + keyName(my().hintKey);
    return my().noteMillis > 0 ? my().noteTitle : std::string();
}

void reset() { my() = State{}; }

}  // namespace guide
