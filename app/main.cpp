// Brimvale: the entry point, the command line, the window and the main loop.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "start/startup.h"
#include "assets/packs.h"
#include "assets/icon.h"
#include "game/levels.h"
#include "platform/input.h"
#include "platform/platform.h"
#include "render/screen.h"
#include "common/options.h"
#include "solver/solver.h"
#include "ui/conveniences.h"
#include "ui/editor.h"
#include "ui/guide_play.h"
#include "ui/input.h"
#include "ui/player_set.h"
#include "ui/progress.h"
#include "ui/screens.h"
#include "ui/window_game.h"

#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#else
extern const unsigned char windowIconPixels[48 * 48 * 4];
#endif

namespace {

void printWarning(const std::string& warning) { cli::say("", warning); }

// A level file by its full path, so that its last level played is found
// again from any folder.
std::string fullPath(const std::string& path) {
    char* full = realpath(path.c_str(), nullptr);
    if (!full) return path;
    const std::string result = full;
    std::free(full);
    return result;
}

// The level --level asks for, put in play before the window opens; false
// (with one line on stderr) when the level file has no such level.
bool enterFirstLevel(long long level) {
    if (level == 0) return true;
    if (level > game().levels.count) {
        cli::say("", "--level " + std::to_string(level) + ": the level file holds " + std::to_string(game().levels.count) +
                         " level" + (game().levels.count == 1 ? "" : "s"));
        return false;
    }
    startLevel(game(), static_cast<int>(level - 1));
    setScreen(Playing);
    return true;
}

// --record: every key and click the game is handed, one replay event a
// line, after a header naming the options a replay needs.
std::FILE* recording = nullptr;

const char* keyToken(int key) {
    for (const platform::KeyRow& row : platform::GameKeys)
        if (row.key == key) return row.name;
    return nullptr;
}

void recordKey(int key) {
    const char* token = keyToken(key);
    std::fprintf(recording, "%s\n", token ? token : "# a key the game does not use");
    std::fflush(recording);
    const bool editing = editor::active();
    onKey(key);
    // The editor takes the input until it is left, then gives it back here.
    if (!editing && editor::active()) {
        std::fputs("# the editor: what it was given is not recorded\n", recording);
        std::fflush(recording);
    }
}

void recordClick(int x, int y) {
    std::fprintf(recording, "click:%d,%d\n", x, y);
    std::fflush(recording);
    onMouseClick(x, y);
}

bool startRecording(const GameOptions& o) {
    recording = std::fopen(o.recordFile.c_str(), "w");
    if (!recording) {
        cli::say("", "--record: cannot write " + o.recordFile);
        return false;
    }
    // The player set (it alone keeps input steady) is named with what was
    // turned off after it, so that the replay plays the same session.
    const PlayerSet& p = o.set;
    std::string options = p.steadyInput ? " --player" : "";
    for (const auto& [on, name] : {std::pair{p.undo, "undo"}, std::pair{p.counter, "counter"},
                                   std::pair{p.guide, "guide"}, std::pair{p.sound, "sound"}})
        if (on != p.steadyInput) options += std::string(on ? " --" : " --no-") + name;
    if (p.muted) options += " --mute";
    if (o.level > 0) options += " --level " + std::to_string(o.level);
    std::fprintf(recording,
                 "# A Brimvale session recorded with --record: one event a line.\n"
                 "# Play it back with: brimvale-tool replay --events FILE\n"
                 "# options%s\n",
                 options.c_str());
    std::fflush(recording);
    platform::setInputHandlers(recordKey, recordClick);
    return true;
}
#ifndef __EMSCRIPTEN__
// The window's icon at the sizes docks and window lists ask for, made from
// the art set's own 48-pixel icon that the build puts in the program.
void nameWindowForDesktop() {
    static std::vector<std::uint8_t> sizes[2] = {icon::atSize(windowIconPixels, 128), icon::atSize(windowIconPixels, 256)};
    static const platform::Picture icons[3] = {
        {48, 48, windowIconPixels}, {128, 128, sizes[0].data()}, {256, 256, sizes[1].data()}};
    platform::setWindowIdentity("brimvale", icons, 3);
}
#endif

// The game from its start-up to the window's close.
int run(const GameOptions& options) {
    playerSet() = options.set;
    // A file the player named takes the progress only when it is one (or
    // new): anything else is refused here, before any file is read.
    std::string error;
    if (playerSet().save && !playerSet().progressFile.empty() &&
        !progress::checkNamedFile(playerSet().progressFile, error)) {
        cli::say("", "--progress " + playerSet().progressFile + ": " + error);
        return 2;
    }
    if (playerSet().save && playerSet().progressFile.empty()) playerSet().progressFile = defaultProgressFile();

    // Without --data the game opens its files by bare name in the working
    // directory.
    if (!startOrSay(options.dataDir, levelFileOf(options))) return 1;
    setWarningSink(printWarning);
    if (playerSet().guide) {
        // The guide's pictures; without them it still works, only unseen.
        std::string warning;
        if (!loadPlayerPack(options.dataDir, warning)) cli::say("", warning);
        solver::connectHints();
    }
    if (!options.recordFile.empty() && !startRecording(options)) return 1;
    startConveniences(fullPath(levelFileOf(options)),
                      options.dataDir.empty() ? "data.par" : options.dataDir + "/data.par");
    if (!options.editFile.empty()) {
        // The editor writes its text with the player set's glyphs.
        std::string warning;
        if (!playerSet().guide && !loadPlayerPack(options.dataDir, warning)) cli::say("", warning);
        solver::connectHints();
        std::string error;
        if (!editor::open(options.editFile, options.level > 0 ? static_cast<int>(options.level - 1) : 0, error)) {
            cli::say("", "--edit " + options.editFile + ": " + error);
            return 1;
        }
    } else if (!enterFirstLevel(options.level)) {
        return 2;
    }
    // Sound, when the player set has it, from the sound folder beside the
    // packs; when it cannot play, one line and the game goes on silent.
    std::string warning;
    if (!startSound(options.dataDir, warning)) cli::say("", warning);

    const char* why = "";
    platform::setWindowScale(options.scale);
    platform::useGamepads(playerSet().gamepad);
#ifndef __EMSCRIPTEN__
    if (playerSet().desktop) nameWindowForDesktop();
#endif
    if (!platform::openWindow(&why)) {
        std::fprintf(stderr, "brimvale: cannot open the game window: %s\n", why);
        return 1;
    }
    createScreenTexture();
    platform::finishWindowSetup();

    for (;;) {
        if (platform::windowShouldClose()) {
            // The editor asks first when there is something unsaved.
            if (editor::mayClose()) break;
            platform::keepWindowOpen();
        }
        if (editor::active()) {
            editor::frame();
            continue;
        }
        if (playerSet().guide) guide::tick();
        drawScreen();
    }
    if (recording) std::fclose(recording);

    deleteScreenTexture();
    platform::closeWindowSystem();
    return 0;
}

}  // namespace

#ifdef __EMSCRIPTEN__
// The page's Link button: "#level=..." that plays the level being edited
// (as it stands, also during its test play), else the level in play (the
// level list's highlight outside a level) as the level file holds it.
extern "C" EMSCRIPTEN_KEEPALIVE const char* brimvale_level_link() {
    static std::string link;
    const Levels& levels = game().levels;
    const int index = game().play.level;
    if (editor::active())
        link = "#" + levelLinkFragment(editor::view().current.cells.data(), 1);
    else if (index >= 0 && index < levels.count)
        link = "#" + levelLinkFragment(levels.data.data() + static_cast<std::size_t>(index) * LevelRecordBytes, 1);
    else
        link.clear();
    return link.c_str();
}
#endif

int main(int argc, char** argv) {
    GameOptions options;
    const int status = readCommandLine(argc - 1, argv + 1, options);
    if (status >= 0) return cli::closeStdout(status);
    if (options.syncedSwaps) platform::syncSwapsToDisplay();
    for (;;) {
        try {
            return run(options);
        } catch (const platform::Quit&) {
            // Only the browser's quit comes back (a page has no process to
            // end): the game starts again, fresh, on its title screen.
            options.level = 0;
            resetGameState();
        }
    }
}
