// The player set's guide: titles, result banners, marks, notes, hints and
// solutions played back.
#include "ui/guide.h"

#include <chrono>
#include <cstring>
#include <map>

#include "assets/packs.h"
#include "game/levels.h"
#include "game/play_state.h"
#include "game/rules.h"
#include "platform/input.h"
#include "render/screen.h"
#include "ui/conveniences.h"
#include "ui/input.h"
#include "ui/layout.h"
#include "ui/player_set.h"
#include "ui/progress.h"
#include "ui/screens.h"
#include "ui/ui_state.h"
#include "ui/window_game.h"

namespace guide {

namespace {

// How long things stay, in milliseconds of the main loop's clock (only
// tick() reads it: the headless replay never ticks, and shows each thing
// until a key or the next step takes it away).
constexpr int TitleMillis = 3000;
constexpr int NoteMillis = 2000;
constexpr int WatchGapMillis = 250;   // between two presses played back
constexpr int WatchEndMillis = 1500;  // the win shown before going back
// A search slice: states expanded between looks at the clock, and the time
// a frame may give it.
constexpr std::uint64_t SliceStates = 64;
constexpr auto SliceTime = std::chrono::microseconds(3000);

constexpr std::uint32_t TextTint = 0xF2E4BE;    // cream
constexpr std::uint32_t GoldTint = 0xDEB658;    // gold
constexpr std::uint32_t ShadowTint = 0x000000;
constexpr std::uint32_t DarkTint = 0x14181E;    // ink

// The window game's.
State& my() { return ui().guide; }

Spot spotOf(const Game& g) { return Spot{g.play.board, g.play.tank}; }
Spot here() { return spotOf(game()); }

bool same(const Spot& a, const Spot& b) {
    return std::memcmp(&a.board, &b.board, sizeof(Board)) == 0 && a.tank.x == b.tank.x && a.tank.y == b.tank.y &&
           a.tank.dx == b.tank.dx && a.tank.dy == b.tank.dy;
}

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

int keyOfLetter(char c) {
    switch (c) {
        case 'L': return KeyLeft;
        case 'R': return KeyRight;
        case 'U': return KeyUp;
        case 'D': return KeyDown;
        default: return KeySpace;
    }
}

void say(const std::string& text, const std::string& title, bool banner) {
    my().note = text;
    my().noteTitle = title;
    my().noteBanner = banner;
    my().noteMillis = NoteMillis;
}

// A copy of the window's game that is never drawn and asks for no redraw:
// what the guide looks ahead on, so the window's game is never touched.
Game aside() {
    Game g = game();
    g.display = nullptr;
    g.redraw = nullptr;
    return g;
}

// A press of a playback, shown: played on the window's game through the
// screens' own keys, with the conveniences off (no history, no progress
// noted) and the player's input left waiting.
void playShown(int key) {
    const PlayerSet saved = playerSet();
    playerSet() = PlayerSet{};
    playerSet().sound = saved.sound;
    playerSet().muted = saved.muted;
    platform::holdDelivery(true);
    ::onKey(key);
    platform::holdDelivery(false);
    playerSet() = saved;
}

// The positions along `keys` from `from`, played on a game of the guide's own.
std::vector<Spot> spotsAlong(const Spot& from, const std::vector<int>& keys) {
    Game g = aside();
    g.play.board = from.board;
    g.play.tank = from.tank;
    std::vector<Spot> spots;
    for (int key : keys) {
        spots.push_back(spotOf(g));
        playKey(g, key);
    }
    return spots;
}

void showHint(int key) {
    my().hintKey = key;
    my().hintSpot = here();
    my().helpedStart = game().levels.starts;
    my().note.clear();
    my().noteTitle.clear();
    my().noteMillis = 0;
}

bool hintShowing() { return my().hintKey != 0 && game().play.outcome == InPlay && same(my().hintSpot, here()); }

// A new level start: its title shows, and hints of the last one are gone.
void followStarts() {
    if (my().titleStart == game().levels.starts) return;
    my().titleStart = game().levels.starts;
    my().titleMillis = TitleMillis;
    my().hintKey = 0;
    my().pathKeys.clear();
    my().pathSpots.clear();
}

// A hint from a path already found, when the position is on it.
bool hintFromPath() {
    const Spot now = here();
    for (std::size_t i = 0; i < my().pathSpots.size(); ++i)
        if (same(my().pathSpots[i], now)) {
            showHint(my().pathKeys[i]);
            return true;
        }
    return false;
}

void startHint() {
    if (hintFromPath() || my().search || !uiConnections().startSearch) return;
    my().searchFrom = here();
    SearchRequest request{HintStates};
    request.from = &game();
    my().search = uiConnections().startSearch(request);
    my().purpose = Purpose::Hint;
    say("", "hint: searching", false);
}

void beginPlayback(const std::vector<int>& keys) {
    my().watchReturn = game().play;
    my().watchKeys = keys;
    my().watchNext = 0;
    my().watchWait = WatchGapMillis;
    my().watchEnding = false;
    my().playing = true;
    game().play = my().watchStart;
}

// The level's start, on a game of the guide's own; playbacks begin there.
Game levelStartAside() {
    Game g = aside();
    placeLevel(g, g.play.level);
    g.play.screen = Playing;
    return g;
}

// S on the result screen: a shortest win from the level's start.
void startSolution() {
    if (my().search || !uiConnections().startSearch) return;
    const Game start = levelStartAside();
    my().watchStart = start.play;
    SearchRequest request{HintStates};
    request.from = &start;
    my().search = uiConnections().startSearch(request);
    my().purpose = Purpose::Watch;
    say("", "solution: searching", false);
}

// V on the level list: the player's own best win of the highlighted level.
void startOwnBest() {
    const std::string moves = progress::bestMoves(game().play.level);
    if (moves.empty()) {
        say("No win of this level kept yet", "no win kept", false);
        return;
    }
    my().watchStart = levelStartAside().play;
    std::vector<int> keys;
    for (char c : moves) keys.push_back(keyOfLetter(c));
    beginPlayback(keys);
}

void searchEnded() {
    const Search::Answer answer = my().search->answer();
    const std::vector<int> keys = my().search->keys();
    my().search.reset();
    const Purpose was = my().purpose;
    my().purpose = Purpose::None;
    if (was == Purpose::Watch) {
        if (answer == Search::Found) {
            beginPlayback(keys);
            say("", "solution: " + std::to_string(keys.size()) + " presses", false);
        } else {
            say(answer == Search::NoWin ? "No way to win this level" : "The search gave up", "solution: none", false);
        }
        return;
    }
    if (answer == Search::Found) {
        // The path is followed from the position it was found for.
        my().pathKeys = keys;
        my().pathSpots = spotsAlong(my().searchFrom, keys);
        if (!hintFromPath()) say("", "", false);
    } else if (answer == Search::NoWin) {
        say("No way to win from here:\nU takes a press back, R restarts", "hint: no way to win from here", true);
    } else {
        say("The hint search gave up:\ntoo many positions to try", "hint: gave up", true);
    }
}

// One slice of the running search; true when it ended.
bool advanceSearch(bool whole) {
    if (!my().search) return false;
    const auto until = std::chrono::steady_clock::now() + SliceTime;
    while (true) {
        if (my().search->advance(SliceStates)) {
            searchEnded();
            return true;
        }
        if (!whole && std::chrono::steady_clock::now() >= until) return false;
    }
}

// One step of a playback: the next press, or the way back after the win.
void stepPlayback(bool now, int passed = 0) {
    if (!my().playing) return;
    if (!now && my().watchWait > 0) {
        my().watchWait -= passed;
        return;
    }
    if (my().watchEnding) {
        my().playing = false;
        game().play = my().watchReturn;
        drawScreen();
        return;
    }
    if (my().watchNext < my().watchKeys.size() && game().play.outcome == InPlay) {
        playShown(my().watchKeys[my().watchNext++]);
        my().watchWait = WatchGapMillis;
        return;
    }
    if (game().play.outcome == Won) ++my().wins;
    my().watchEnding = true;
    my().watchWait = WatchEndMillis;
}

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

bool titleShowing() {
    followStarts();
    return my().titleMillis > 0;
}

}  // namespace

void connectSearch(SearchStart start) { uiConnections().startSearch = start; }

std::unique_ptr<Search> startSearch(const SearchRequest& request) {
    return uiConnections().startSearch ? uiConnections().startSearch(request) : nullptr;
}

void setTitle(int index, const std::string& title) { my().titles[index] = title; }

std::string titleOf(int index) {
    const auto t = my().titles.find(index);
    return t == my().titles.end() ? std::string() : t->second;
}

bool onKey(int key) {
    if (my().playing) {
        // Any key ends a playback, back where it began.
        my().playing = false;
        game().play = my().watchReturn;
        drawScreen();
        return true;
    }
    switch (game().play.screen) {
        case Playing:
            if (titleShowing() || (my().noteBanner && my().noteMillis > 0)) {
                // The first press hides the title (or a banner note), and
                // plays on: the screen is drawn without it first, so that the
                // press's animation is not drawn over it, the input behind
                // left waiting.
                my().titleMillis = 0;
                if (my().noteBanner) my().noteMillis = 0;
                platform::holdDelivery(true);
                drawScreen();
                platform::holdDelivery(false);
            }
            if (key == KeyH && game().play.outcome == InPlay) {
                startHint();
                return true;
            }
            if (key == KeyR) {
                startLevel(game(), game().play.level);
                return true;
            }
            return false;
        case Result:
            if (key == KeyH && game().play.outcome == Lost) {
                say("No way to win from here:\nU takes a press back, R restarts", "hint: no way to win from here", true);
                drawScreen();
                return true;
            }
            if ((key == KeyS || key == KeySolution) && game().play.outcome != Won) {
                startSolution();
                return true;
            }
            return false;
        case LevelSelect:
            if (key == KeyV) {
                startOwnBest();
                return true;
            }
            return false;
        default: return false;
    }
}

void noteMute(bool muted) { say(muted ? "Sound off (M)" : "Sound on (M)", muted ? "sound off" : "sound on", false); }

void tick() {
    using Clock = std::chrono::steady_clock;
    static Clock::time_point last = Clock::now();
    const Clock::time_point now = Clock::now();
    const int passed = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(now - last).count());
    last = now;
    followStarts();
    if (game().play.screen == Playing) my().titleMillis -= passed;
    my().noteMillis -= passed;
    advanceSearch(false);
    stepPlayback(false, passed);
}

void settle() {
    while (my().search) advanceSearch(true);
    while (my().playing) stepPlayback(true);
}

bool watching() { return my().playing; }
int watchedWins() { return my().wins; }

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

void drawOverResult() {
    if (my().playing) {
        if (game().play.outcome == Won) bannerLines(40, {"Won in " + std::to_string(my().watchKeys.size()) + " presses"});
    } else if (game().play.outcome == Won) {
        std::vector<std::string> lines{"Level " + std::to_string(game().play.level + 1) + " won!"};
        std::string count = "in " + std::to_string(my().winPresses) + " press" + (my().winPresses == 1 ? "" : "es");
        const int par = parOf(game().play.level);
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
