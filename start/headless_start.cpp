// Starting the game headlessly, from files or from records in memory.
#include "start/headless_start.h"

#include "start/startup.h"
#include "game/levels.h"
#include "platform/headless.h"
#include "render/screen.h"
#include "common/files.h"
#include "ui/screens.h"
#include "ui/window_game.h"

namespace session {

void resetGame() {
    resetGameState();
    headless::resetStats();
    headless::resetGamepads();
    headless::queue().clear();
}

bool startGameFromFiles(const std::string& dataDir, const std::string& levelFile, std::string& error) {
    std::string bytes;
    for (const std::string& pack : {dataDir + "/data01.pak", dataDir + "/data02.pak"})
        if (!common::readFile(pack, bytes, error)) return false;
    if (!common::readFile(levelFile, bytes, error, MaxLevelFileBytes)) return false;
    LevelFileLevels levels;
    if (!readLevelBytes(bytes, levelFile, levels, error)) return false;
    if (levels.count == 0) {
        error = levelFile + ": holds no whole level (" + std::to_string(bytes.size()) + " bytes, a level is " +
                std::to_string(LevelRecordBytes) + ")";
        return false;
    }
    resetGame();
    return startGame(dataDir, levelFile, error) == Started::Yes;
}

void startGameFromRecords(const std::uint8_t* records, int count, Drawing drawing) {
    resetGame();
    display().drawing = drawing == Drawing::On;
    setLevels(game().levels, records, count);
    startLevel(game(), 0);
}

void enterLevel(int index) {
    startLevel(game(), index);
    setScreen(Playing);
}

}  // namespace session
