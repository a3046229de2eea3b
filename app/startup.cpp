#include "app/startup.h"

#include <cstring>

#include "assets/packs.h"
#include "game/board.h"
#include "game/levels.h"
#include "render/screen.h"
#include "ui/screens.h"

bool startGame(const std::string& dataDir, const std::string& levelFile) {
    loadImagePacks(dataDir);
    buildSpriteSet();
    if (!loadLevels(levelFile)) return false;
    startLevel(0);
    return true;
}

void resetGameState() {
    std::memset(screenBuffer, 0, sizeof screenBuffer);
    std::memset(&board, 0, sizeof board);
    tankX = tankY = tankDX = tankDY = 0;
    tankAngle = 0;
    screenState = Title;
    outcome = InPlay;
    currentLevel = 0;
    selectPage = 0;
    drawingEnabled = true;
}
