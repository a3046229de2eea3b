// The game's start-up, and the wiring of the screens to the rules and the platform.
#include "start/startup.h"

#include <string>
#include <vector>

#include "assets/packs.h"
#include "game/board.h"
#include "game/levels.h"
#include "platform/input.h"
#include "platform/platform.h"
#include "platform/sound.h"
#include "render/screen.h"
#include "ui/conveniences.h"
#include "ui/editor.h"
#include "ui/guide.h"
#include "ui/input.h"
#include "ui/player_set.h"
#include "ui/screens.h"
#include "ui/ui_state.h"
#include "ui/window_game.h"

void connectGame() {
    game().redraw = redrawForRules;
    platform::setInputHandlers(onKey, onMouseClick, onTap);
    platform::setEditHandlers(nullptr, nullptr);
    uiConnections().editCopy = editor::openCopy;
}

Started startGame(const std::string& dataDir, const std::string& levelFile, std::string& error) {
    connectGame();
    if (!loadImagePacks(dataDir, error)) return Started::NoPacks;
    buildSpriteSet();
    std::vector<std::string> titles;
    if (!loadLevels(game().levels, levelFile, error, &titles)) return Started::NoLevels;
    // Level text names its levels: the guide shows those names when on.
    for (std::size_t i = 0; i < titles.size(); ++i) guide::setTitle(static_cast<int>(i), titles[i]);
    startLevel(game(), 0);
    return Started::Yes;
}

bool startSound(const std::string& dataDir, std::string& warning) {
    if (!playerSet().sound) return true;
    sound::setMuted(playerSet().muted);
    return sound::open(dataDir.empty() ? "sound" : dataDir + "/sound", warning);
}

void resetGameState() {
    connectGame();
    sound::close();
    sound::setMuted(false);
    display() = Display{};
    game() = Game{PlayState{}, Levels{}, &display(), redrawForRules};
    playerSet() = PlayerSet{};
    resetConveniences();
    editor::reset();
}
