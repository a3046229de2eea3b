#include "ui/input.h"

#include "game/board.h"
#include "game/play_state.h"
#include "game/levels.h"
#include "game/rules.h"
#include "platform/platform.h"
#include "ui/screens.h"

const Button gameButton = {150, 258, 224, 50, "Game"};
const Button exitButton = {150, 321, 224, 50, "Exit"};

namespace {

// A region is its rectangle less its first column and row.
bool inButton(const Button& b, int x, int y) { return b.x < x && x < b.x + b.width && b.y < y && y < b.y + b.height; }

bool inPicture(int left, int top, int width, int height, int x, int y) {
    return left < x && x <= left + width - 1 && top < y && y <= top + height - 1;
}

void pageUp() {
    play.level -= LevelsPerPage;
    drawScreen();
}

void pageDown() {
    if (play.level + LevelsPerPage < levelCount)
        play.level += LevelsPerPage;
    else
        play.level = levelCount - 1;
    drawScreen();
}

void playLevel(int index) {
    startLevel(index);
    setScreen(Playing);
}

bool nextLevelExists() { return play.level < levelCount - 1; }

void titleKey(int key) {
    if (key == KeyEscape)
        platform::quit(0);
    else if (key == KeySpace || key == KeyEnter)
        setScreen(LevelSelect);
}

void levelSelectKey(int key) {
    switch (key) {
        case KeyEscape: setScreen(Title); break;
        case KeyPageUp:
            if (play.page > 0) pageUp();
            break;
        case KeyPageDown:
            if (play.page < levelCount / LevelsPerPage) pageDown();
            break;
        case KeyD:
        case KeyRight:
            if (play.level + 1 < levelCount) {
                play.level += 1;
                drawScreen();
            }
            break;
        case KeyA:
        case KeyLeft:
            if (play.level > 0) {
                play.level -= 1;
                drawScreen();
            }
            break;
        case KeyW:
        case KeyUp:
            if (play.level >= 6) {
                play.level -= 6;
                drawScreen();
            }
            break;
        case KeyS:
        case KeyDown:
            if (play.level + 6 < levelCount) {
                play.level += 6;
                drawScreen();
            }
            break;
        case KeyEnter:
        case KeySpace: playLevel(play.level); break;
        default: break;
    }
}

void playingKey(int key) {
    if (key == KeyEscape) {
        setScreen(Result);
        return;
    }
    if (play.outcome == InPlay) {
        switch (key) {
            case KeyA:
            case KeyLeft: turnOrMoveTank(-1, 0, 180); return;
            case KeyD:
            case KeyRight: turnOrMoveTank(1, 0, 0); return;
            case KeyW:
            case KeyUp: turnOrMoveTank(0, -1, 270); return;
            case KeyS:
            case KeyDown: turnOrMoveTank(0, 1, 90); return;
            case KeySpace:
                // Before any level has placed the tank it faces nowhere, and a
                // beam from its own cell would never leave it.
                if (play.tank.dx != 0 || play.tank.dy != 0) fireLaser(play.tank.x, play.tank.y, play.tank.dx, play.tank.dy, playerBeamColour);
                return;
            default: break;
        }
    }
    if (key == KeyEnter) {
        if (play.outcome == Won && nextLevelExists())
            startLevel(play.level + 1);
        else if (play.outcome == Lost)
            startLevel(play.level);
    }
}

void resultKey(int key) {
    if (key == KeyEscape) {
        setScreen(LevelSelect);
    } else if (key == KeySpace || key == KeyEnter) {
        if (play.outcome == InPlay)
            setScreen(Playing);
        else if (play.outcome == Won && nextLevelExists())
            playLevel(play.level + 1);
        else if (play.outcome == Lost)
            playLevel(play.level);
    } else if (key == KeyR) {
        playLevel(play.level);
    }
}

void titleClick(int x, int y) {
    if (inButton(gameButton, x, y)) setScreen(LevelSelect);
    if (inButton(exitButton, x, y)) platform::quit(0);
}

void levelSelectClick(int x, int y) {
    if (inButton(exitButton, x, y)) {
        setScreen(Title);
        return;
    }
    if (inPicture(9, 318, 57, 57, x, y) && play.page > 0) {
        pageUp();
        return;
    }
    if (inPicture(70, 318, 57, 57, x, y) && play.page < levelCount / LevelsPerPage) {
        pageDown();
        return;
    }
    play.page = play.level / LevelsPerPage;
    const int first = play.page * LevelsPerPage;
    const int end = first + LevelsPerPage < levelCount ? first + LevelsPerPage : levelCount;
    for (int i = first; i < end; ++i) {
        const int x0 = levelCellX(i), y0 = levelCellY(i);
        if (x0 < x && x < x0 + 51 && y0 < y && y < y0 + 50) {
            playLevel(i);
            return;
        }
    }
}

void resultClick(int x, int y) {
    if (inPicture(77, 192, 229, 57, x, y)) {
        if (play.outcome == InPlay)
            setScreen(Playing);
        else if (play.outcome == Won && nextLevelExists())
            playLevel(play.level + 1);
        return;
    }
    if (inPicture(77, 255, 229, 57, x, y)) {
        playLevel(play.level);
        return;
    }
    if (inPicture(77, 318, 229, 57, x, y)) setScreen(LevelSelect);
}

}  // namespace

void onKey(int key) {
    switch (play.screen) {
        case Title: titleKey(key); break;
        case LevelSelect: levelSelectKey(key); break;
        case Playing: playingKey(key); break;
        case Result: resultKey(key); break;
        default: break;
    }
}

void onMouseClick(int x, int y) {
    switch (play.screen) {
        case Title: titleClick(x, y); break;
        case LevelSelect: levelSelectClick(x, y); break;
        case Playing: break;
        case Result: resultClick(x, y); break;
        default: break;
    }
}
