#include "ui/input.h"

#include "game/board.h"
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
    currentLevel -= LevelsPerPage;
    drawScreen();
}

void pageDown() {
    if (currentLevel + LevelsPerPage < levelCount)
        currentLevel += LevelsPerPage;
    else
        currentLevel = levelCount - 1;
    drawScreen();
}

void play(int index) {
    startLevel(index);
    setScreen(Playing);
}

bool nextLevelExists() { return currentLevel < levelCount - 1; }

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
            if (selectPage > 0) pageUp();
            break;
        case KeyPageDown:
            if (selectPage < levelCount / LevelsPerPage) pageDown();
            break;
        case KeyD:
        case KeyRight:
            if (currentLevel + 1 < levelCount) {
                currentLevel += 1;
                drawScreen();
            }
            break;
        case KeyA:
        case KeyLeft:
            if (currentLevel > 0) {
                currentLevel -= 1;
                drawScreen();
            }
            break;
        case KeyW:
        case KeyUp:
            if (currentLevel >= 6) {
                currentLevel -= 6;
                drawScreen();
            }
            break;
        case KeyS:
        case KeyDown:
            if (currentLevel + 6 < levelCount) {
                currentLevel += 6;
                drawScreen();
            }
            break;
        case KeyEnter:
        case KeySpace: play(currentLevel); break;
        default: break;
    }
}

void playingKey(int key) {
    if (key == KeyEscape) {
        setScreen(Result);
        return;
    }
    if (outcome == InPlay) {
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
                if (tankDX != 0 || tankDY != 0) fireLaser(tankX, tankY, tankDX, tankDY, playerBeamColour);
                return;
            default: break;
        }
    }
    if (key == KeyEnter) {
        if (outcome == Won && nextLevelExists())
            startLevel(currentLevel + 1);
        else if (outcome == Lost)
            startLevel(currentLevel);
    }
}

void resultKey(int key) {
    if (key == KeyEscape) {
        setScreen(LevelSelect);
    } else if (key == KeySpace || key == KeyEnter) {
        if (outcome == InPlay)
            setScreen(Playing);
        else if (outcome == Won && nextLevelExists())
            play(currentLevel + 1);
        else if (outcome == Lost)
            play(currentLevel);
    } else if (key == KeyR) {
        play(currentLevel);
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
    if (inPicture(9, 318, 57, 57, x, y) && selectPage > 0) {
        pageUp();
        return;
    }
    if (inPicture(70, 318, 57, 57, x, y) && selectPage < levelCount / LevelsPerPage) {
        pageDown();
        return;
    }
    selectPage = currentLevel / LevelsPerPage;
    const int first = selectPage * LevelsPerPage;
    const int end = first + LevelsPerPage < levelCount ? first + LevelsPerPage : levelCount;
    for (int i = first; i < end; ++i) {
        const int x0 = levelCellX(i), y0 = levelCellY(i);
        if (x0 < x && x < x0 + 51 && y0 < y && y < y0 + 50) {
            play(i);
            return;
        }
    }
}

void resultClick(int x, int y) {
    if (inPicture(77, 192, 229, 57, x, y)) {
        if (outcome == InPlay)
            setScreen(Playing);
        else if (outcome == Won && nextLevelExists())
            play(currentLevel + 1);
        return;
    }
    if (inPicture(77, 255, 229, 57, x, y)) {
        play(currentLevel);
        return;
    }
    if (inPicture(77, 318, 229, 57, x, y)) setScreen(LevelSelect);
}

}  // namespace

void keyCallback(void*, int key, int, int action, int) {
    if (action != 0) onKey(key);
}

void mouseButtonCallback(void*, int button, int action, int) {
    if (button != 0 || action == 0) return;
    double cx = 0, cy = 0;
    platform::cursorPos(cx, cy);
    onMouseClick(static_cast<int>(cx), static_cast<int>(cy));
}

void onKey(int key) {
    switch (screenState) {
        case Title: titleKey(key); break;
        case LevelSelect: levelSelectKey(key); break;
        case Playing: playingKey(key); break;
        case Result: resultKey(key); break;
        default: break;
    }
}

void onMouseClick(int x, int y) {
    switch (screenState) {
        case Title: titleClick(x, y); break;
        case LevelSelect: levelSelectClick(x, y); break;
        case Playing: break;
        case Result: resultClick(x, y); break;
        default: break;
    }
}
