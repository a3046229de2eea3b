// What each screen does with a key press or a click.
#include "ui/input.h"

#include "game/board.h"
#include "game/play_state.h"
#include "game/levels.h"
#include "game/rules.h"
#include "platform/platform.h"
#include "platform/sound.h"
#include "render/sound_cue.h"
#include "ui/conveniences.h"
#include "ui/guide.h"
#include "ui/guide_play.h"
#include "ui/history.h"
#include "ui/layout.h"
#include "ui/player_set.h"
#include "ui/screens.h"
#include "ui/ui_state.h"
#include "ui/window_game.h"

using namespace layout;

namespace {

// A region is its rectangle less its first column and row.
bool inside(const Rect& r, int x, int y) { return r.x < x && x < r.x + r.width && r.y < y && y < r.y + r.height; }

// A menu's highlight or page moved, and the list drawn anew.
void moveHighlight(int level) {
    cueSound(sound::MenuMove);
    game().play.level = level;
    drawScreen();
}

// A menu choice: another screen.
void choose(Screen screen) {
    cueSound(sound::MenuChoose);
    setScreen(screen);
}

void pageUp() {
    cueSound(sound::MenuMove);
    game().play.level -= LevelsPerPage;
    drawScreen();
}

void pageDown() {
    cueSound(sound::MenuMove);
    if (game().play.level + LevelsPerPage < game().levels.count)
        game().play.level += LevelsPerPage;
    else
        game().play.level = game().levels.count - 1;
    drawScreen();
}

void playLevel(int index) {
    cueSound(sound::MenuChoose);
    startLevel(game(), index);
    setScreen(Playing);
}

// The level as a copy in the player's own level file, in the editor.
void editCopy(int index) {
    std::string title = playerSet().guide ? guide::titleOf(index) : std::string();
    if (title.empty()) title = "Level " + std::to_string(index + 1);
    std::string error;
    if (uiConnections().editCopy && !uiConnections().editCopy(index, title, error)) sayWarning(error);
}

bool nextLevelExists() { return game().play.level < game().levels.count - 1; }

// A press that may change the tank or the board, kept for undo and counted
// while the player set asks for either.
struct Press {
    const bool kept = playerSet().undo || playerSet().counter || playerSet().save;
    explicit Press(int key) {
        if (kept) history::beginPress(key);
    }
    ~Press() {
        if (kept) history::endPress();
    }
    Press(const Press&) = delete;
    Press& operator=(const Press&) = delete;
};

bool isUndoKey(int key) { return playerSet().undo && (key == KeyBackspace || key == KeyU); }

// Back to the state before the last press that changed anything, playing,
// drawn once; ignored while a press (its animation) is under way.
void undoPress() {
    if (game().play.outcome == Won || !history::undo()) return;
    setScreen(Playing);
}

void movePress(int dx, int dy, float angle) {
    Press press(dx < 0 ? KeyLeft : dx > 0 ? KeyRight : dy < 0 ? KeyUp : KeyDown);
    turnOrMoveTank(game(), dx, dy, angle);
}

void firePress() {
    Press press(KeySpace);
    fireLaser(game(), game().play.tank.x, game().play.tank.y, game().play.tank.dx, game().play.tank.dy, playerBeamColour);
}

void titleKey(int key) {
    if (key == KeyEscape)
        platform::quit(0);
    else if (key == KeySpace || key == KeyEnter)
        choose(LevelSelect);
}

void levelSelectKey(int key) {
    switch (key) {
        case KeyEscape: choose(Title); break;
        case KeyPageUp:
            if (game().play.page > 0) pageUp();
            break;
        case KeyPageDown:
            if (game().play.page < game().levels.count / LevelsPerPage) pageDown();
            break;
        case KeyD:
        case KeyRight:
            if (game().play.level + 1 < game().levels.count) moveHighlight(game().play.level + 1);
            break;
        case KeyA:
        case KeyLeft:
            if (game().play.level > 0) moveHighlight(game().play.level - 1);
            break;
        case KeyW:
        case KeyUp:
            if (game().play.level >= 6) moveHighlight(game().play.level - 6);
            break;
        case KeyS:
        case KeyDown:
            if (game().play.level + 6 < game().levels.count) moveHighlight(game().play.level + 6);
            break;
        case KeyEnter:
        case KeySpace: playLevel(game().play.level); break;
        case KeyE:
            if (playerSet().editor) editCopy(game().play.level);
            break;
        default: break;
    }
}

void playingKey(int key) {
    if (key == KeyEscape) {
        choose(Result);
        return;
    }
    if (isUndoKey(key)) {
        undoPress();
        return;
    }
    if (game().play.outcome == InPlay) {
        switch (key) {
            case KeyA:
            case KeyLeft: movePress(-1, 0, 180); return;
            case KeyD:
            case KeyRight: movePress(1, 0, 0); return;
            case KeyW:
            case KeyUp: movePress(0, -1, 270); return;
            case KeyS:
            case KeyDown: movePress(0, 1, 90); return;
            case KeySpace:
                // Before any level has placed the tank it faces nowhere, and a
                // beam from its own cell would never leave it.
                if (game().play.tank.dx != 0 || game().play.tank.dy != 0) firePress();
                return;
            default: break;
        }
    }
    if (key == KeyEnter) {
        if (game().play.outcome == Won && nextLevelExists()) {
            cueSound(sound::MenuChoose);
            startLevel(game(), game().play.level + 1);
        } else if (game().play.outcome == Lost) {
            cueSound(sound::MenuChoose);
            startLevel(game(), game().play.level);
        }
    }
}

void resultKey(int key) {
    if (key == KeyEscape) {
        choose(LevelSelect);
    } else if (key == KeySpace || key == KeyEnter) {
        if (game().play.outcome == InPlay)
            choose(Playing);
        else if (game().play.outcome == Won && nextLevelExists())
            playLevel(game().play.level + 1);
        else if (game().play.outcome == Lost)
            playLevel(game().play.level);
    } else if (key == KeyR) {
        playLevel(game().play.level);
    } else if (isUndoKey(key) && game().play.outcome == Lost) {
        undoPress();
    }
}

void titleClick(int x, int y) {
    if (inside(GameButton, x, y)) choose(LevelSelect);
    if (inside(ExitButton, x, y)) platform::quit(0);
}

void levelSelectClick(int x, int y) {
    if (inside(ExitButton, x, y)) {
        choose(Title);
        return;
    }
    if (inside(PageUpArrow, x, y) && game().play.page > 0) {
        pageUp();
        return;
    }
    if (inside(PageDownArrow, x, y) && game().play.page < game().levels.count / LevelsPerPage) {
        pageDown();
        return;
    }
    game().play.page = game().play.level / LevelsPerPage;
    const int first = game().play.page * LevelsPerPage;
    const int end = first + LevelsPerPage < game().levels.count ? first + LevelsPerPage : game().levels.count;
    for (int i = first; i < end; ++i) {
        if (inside(Rect{levelCellX(i), levelCellY(i), LevelCellWidth, LevelCellHeight}, x, y)) {
            playLevel(i);
            return;
        }
    }
}

void resultClick(int x, int y) {
    if (inside(ContinueButton, x, y)) {
        if (game().play.outcome == InPlay)
            choose(Playing);
        else if (game().play.outcome == Won && nextLevelExists())
            playLevel(game().play.level + 1);
        return;
    }
    if (inside(RestartButton, x, y)) {
        playLevel(game().play.level);
        return;
    }
    if (inside(LevelsButton, x, y)) choose(LevelSelect);
}

}  // namespace

void onKey(int key) {
    // A key held with Control is the key itself (only the editor tells them apart).
    key = platform::withoutControl(key);
    // M mutes and unmutes on every screen, but only when sound is on: the
    // game without sound leaves the key unused.
    if (key == KeyM && playerSet().sound) {
        playerSet().muted = !playerSet().muted;
        sound::setMuted(playerSet().muted);
        rememberSettings();
        if (playerSet().guide) {
            guide::noteMute(playerSet().muted);
            drawScreen();
        }
        return;
    }
    if (playerSet().guide && guide::takeKey(key)) return;
    switch (game().play.screen) {
        case Title: titleKey(key); break;
        case LevelSelect: levelSelectKey(key); break;
        case Playing: playingKey(key); break;
        case Result: resultKey(key); break;
        default: break;
    }
}

void onTap(int x, int y) {
    // A tap on the tank's cell fires, as Space does; any other tap is a click.
    if (game().play.screen == Playing && x >= 0 && y >= 0 && x / 24 == game().play.tank.x && y / 24 == game().play.tank.y)
        onKey(KeySpace);
    else
        onMouseClick(x, y);
}

void onMouseClick(int x, int y) {
    switch (game().play.screen) {
        case Title: titleClick(x, y); break;
        case LevelSelect: levelSelectClick(x, y); break;
        case Playing: break;
        case Result: resultClick(x, y); break;
        default: break;
    }
}
