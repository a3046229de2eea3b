#include "app/startup.h"

#include <cstring>

#include "assets/packs.h"
#include "game/board.h"
#include "game/play_state.h"
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
    std::memset(&play.board, 0, sizeof play.board);
    play.tank.x = play.tank.y = play.tank.dx = play.tank.dy = 0;
    play.tank.angle = 0;
    play.screen = Title;
    play.outcome = InPlay;
    play.level = 0;
    play.page = 0;
    drawingEnabled = true;
}
