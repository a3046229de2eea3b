// The game's command line: every option, read in order by cli::Options.
#include "app/command_line.h"

#include <cstdio>
#include <cstdlib>

#include "common/files.h"
#include "common/options.h"
#include "common/numbers.h"
#include "platform/platform.h"
#include "start/startup.h"

namespace {

const char* const gameHelp =
    "usage: brimvale [OPTIONS] [--] [LEVEL-FILE]\n"
    "\n"
    "A tile puzzle with a tank and its laser. Without options the game plays as\n"
    "it always has: a 384x384 window, nothing remembered, no file written.\n"
    "\n"
    "  --levels FILE     play the levels of FILE (as does LEVEL-FILE): a level\n"
    "                    file or level text (data/levels/*.txt), told apart by\n"
    "                    its bytes; text that does not parse is refused\n"
    "  --data DIR        the folder of data01.pak, data02.pak and data.lvl\n"
    "                    (default: the working directory)\n"
    "  --level N         start playing level N (1 is the first) at once\n"
    "  --scale N|auto    show the window N times larger (1 to 8); auto: the\n"
    "                    largest that fits three quarters of the monitor\n"
    "  --save, --no-save remember won levels, fewest presses and the last level\n"
    "                    played (in $XDG_DATA_HOME/brimvale/progress.txt)\n"
    "  --progress FILE   keep the progress in FILE instead (implies --save): a\n"
    "                    new file, an empty one or one the game wrote\n"
    "  --undo, --no-undo Backspace or U takes back the last press (up to the\n"
    "                    last 100,000)\n"
    "  --counter, --no-counter\n"
    "                    level, presses and best in the window title\n"
    "  --sound, --no-sound\n"
    "                    sound effects\n"
    "  --mute            start with the sound silenced (M toggles it)\n"
    "  --guide, --no-guide\n"
    "                    won and lost screens that say so, level titles, marks\n"
    "                    on won levels, H for a hint, S (paused or lost) shows a\n"
    "                    way to win, V (level list) plays your best win back,\n"
    "                    R restarts\n"
    "  --edit FILE       the level editor on FILE (level text, as data/levels/;\n"
    "                    made with one new level if missing): click or drag\n"
    "                    paints, a glyph of the text chooses what, U undoes, N\n"
    "                    adds a level, Page Up/Down move between levels, F2 and\n"
    "                    F3 edit the title and idea, t plays the board, Ctrl+S\n"
    "                    saves; beside the board the solver's verdict on it\n"
    "  --record FILE     write every key and click to FILE, as events that\n"
    "                    brimvale-tool replay --events plays back\n"
    "  --gamepad, --no-gamepad\n"
    "                    controllers play: D-pad or left stick the arrows, A Space,\n"
    "                    B Escape, Start Enter, X undo, shoulders the level pages\n"
    "  --player          the player set: --save --undo --counter --sound\n"
    "                    --guide --gamepad --scale auto, the window named\n"
    "                    brimvale with its icon, each frame shown at a refresh\n"
    "                    of the display, keys pressed right after choosing a\n"
    "                    level kept for it (what the installed launcher passes);\n"
    "                    E on the level list opens the level as a copy in the\n"
    "                    editor, in $XDG_DATA_HOME/brimvale/levels/mine.txt\n"
    "  --classic         everything off, scale 1: the game as it always was\n"
    "  --version         print the version\n"
    "  --help            print this help\n"
    "\n"
    "Later options override earlier ones (LEVEL-FILE counts as --levels); after\n"
    "--, every argument is a level file. A file name is never empty. Exit\n"
    "status: 0; 1 when the game cannot start or its output cannot be written;\n"
    "2 on a bad option (before any window opens). Without its image packs the\n"
    "game cannot draw and ends abnormally.\n";

constexpr int MaxScale = 8;

void playerSetOn(GameOptions& o) {
    o.set.save = o.set.undo = o.set.counter = o.set.sound = o.set.guide = o.set.gamepad = o.set.desktop = true;
    o.set.editor = o.set.steadyInput = true;
    o.scale = 0;
    o.syncedSwaps = true;
}

void classic(GameOptions& o) {
    o.set = PlayerSet{};
    o.scale = 1;
    o.syncedSwaps = false;
}

bool readScale(const std::string& text, int& scale) {
    if (text == "auto") {
        scale = 0;
        return true;
    }
    long long n = 0;
    if (!common::parseWhole(text, 1, MaxScale, n)) return false;
    scale = static_cast<int>(n);
    return true;
}

}  // namespace

int readCommandLine(int argc, char** argv, GameOptions& o) {
    cli::setProgramName("brimvale");
    bool version = false;
    const int status =
        cli::Options("", gameHelp)
            .file("--levels", o.levelFile)
            .file("--data", o.dataDir)
            .whole("--level", o.level, 1, 65536)
            .value("--scale", "a whole number from 1 to 8 or 'auto'",
                   [&o](const std::string& text) { return readScale(text, o.scale); })
            .flag("--save", o.set.save)
            .flag("--no-save", o.set.save, false)
            .value("--progress", "a file name",
                   [&o](const std::string& text) {
                       o.set.progressFile = text;
                       o.set.save = true;
                       return !text.empty();
                   })
            .flag("--undo", o.set.undo)
            .flag("--no-undo", o.set.undo, false)
            .flag("--counter", o.set.counter)
            .flag("--no-counter", o.set.counter, false)
            .flag("--sound", o.set.sound)
            .flag("--no-sound", o.set.sound, false)
            .flag("--mute", o.set.muted)
            .flag("--guide", o.set.guide)
            .flag("--no-guide", o.set.guide, false)
            .value("--edit", "a file name",
                   [&o](const std::string& text) {
                       o.editFile = text;
                       return !text.empty();
                   })
            .value("--record", "a file name",
                   [&o](const std::string& text) {
                       o.recordFile = text;
                       return !text.empty();
                   })
            .flag("--gamepad", o.set.gamepad)
            .flag("--no-gamepad", o.set.gamepad, false)
            .action("--player", [&o] { playerSetOn(o); })
            .action("--classic", [&o] { classic(o); })
            .flag("--version", version)
            .words(cli::Words::Files, [&o](const std::string& file) { o.levelFile = file; }, 1)
            .parse(argc, argv);
    if (status >= 0) return status;
    if (version) {
        std::fputs("brimvale 1.0\n", stdout);
        return 0;
    }
    return -1;
}

std::string levelFileOf(const GameOptions& o) {
    if (!o.levelFile.empty()) return o.levelFile;
    return o.dataDir.empty() ? "data.lvl" : o.dataDir + "/data.lvl";
}

std::string defaultProgressFile() { return common::userDataFile("progress.txt"); }

bool startOrSay(const std::string& dataDir, const std::string& levelFile) {
    std::string error;
    const Started started = startGame(dataDir, levelFile, error);
    if (started == Started::Yes) return true;
    std::fprintf(stderr, "brimvale: %s\n", error.c_str());
    // The game cannot draw anything without its packs.
    if (started == Started::NoPacks) platform::abortProcess();
    return false;
}
