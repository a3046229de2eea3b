// Starting the game headlessly: the one way tools, tests and benchmarks do it.
// It puts the game in a known state and a level in play.
#pragma once

#include <cstdint>
#include <string>

namespace session {

// Back to the state of a fresh process: the game's (title screen, empty
// board, tank nowhere, black screen, drawing on), the headless display's
// counters and its input queue.
void resetGame();

// resetGame, then the game's own start-up from files: both packs of
// `dataDir`, the sprite set, the levels of `levelFile`, level 0 placed as
// the start-up places it. False with a message in `error` (and the game
// left alone) when a file cannot be read or the level file holds no level.
bool startGameFromFiles(const std::string& dataDir, const std::string& levelFile, std::string& error);

enum class Drawing { Off, On };

// resetGame, then the same start-up from `count` (1 or more) records in
// memory, without reading packs (the sprite set stays as it is), with
// drawing on or off.
void startGameFromRecords(const std::uint8_t* records, int count, Drawing drawing);

// Level `index` (0 to levelCount - 1) in play, as a click on its cell in the
// level list puts it: started, then the playing screen shown. A level
// without a tank start keeps the tank where the level before left it.
void enterLevel(int index);

}  // namespace session
