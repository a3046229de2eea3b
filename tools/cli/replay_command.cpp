// brimvale-tool replay: scripted keys and clicks played headlessly, then the report.
#include <cstdio>
#include <string>
#include <vector>

#include "tools/cli/commands.h"
#include "tools/cli/data_dir.h"
#include "common/options.h"
#include "tools/session/replay.h"
#include "ui/conveniences.h"
#include "ui/progress.h"

namespace {

const char* const replayHelp =
    "usage: brimvale-tool replay [--data DIR] [--levels FILE] [--start INDEX] [--png FILE] [--sounds]\n"
    "                            [--edit FILE [--no-traps]] [EVENT ...]\n"
    "\n"
    "Plays the game headlessly: the game's own start-up and input handlers, driven\n"
    "by scripted keys and clicks, then prints the final state.\n"
    "\n"
    "  --data DIR      folder holding data01.pak, data02.pak and data.lvl\n"
    "                  (default: the data folder of the build or installation)\n"
    "  --levels FILE   a level file to use instead of DIR/data.lvl (a regular\n"
    "                  file of at most 16 MiB, 65536 levels)\n"
    "  --start INDEX   start level INDEX (0-based) and play it at once, as a\n"
    "                  click on its cell in the level list does\n"
    "  --png FILE      write the final screen as an 8-bit RGB PNG\n"
    "  --undo          Backspace or U takes back the last press, as the game's --undo\n"
    "  --counter       the press counter: the report ends with the window title\n"
    "  --progress FILE keep saved progress in FILE, as the game's --progress (a\n"
    "                  new file, an empty one or one the game wrote)\n"
    "                  (without it the replay reads and writes no file)\n"
    "  --guide         the game's --guide: result banners, level titles, marks,\n"
    "                  H hints, S solutions, V own best wins; a hint search or a\n"
    "                  playback runs to its end before the next event group, and\n"
    "                  the report adds 'watched-wins N' and the window title\n"
    "  --player        the player set as the launcher has it (undo, counter,\n"
    "                  sound counted, guide); saving only with --progress\n"
    "  --events FILE   also play the events of FILE, as the game's --record\n"
    "                  writes them (its '# options' line is honoured)\n"
    "  --sounds        play with sound on (counted, never heard) and add a last\n"
    "                  report line: 'sounds' and the effects played, in order\n"
    "  --edit FILE     drive the level editor on FILE (level text; made with one\n"
    "                  new level if missing), as the game's --edit, at level\n"
    "                  --start (0-based); the verdict's search runs to its end\n"
    "                  before the next event group. The report is the editor's:\n"
    "                  editor, level N/COUNT, title, idea, verdict, moves (-1\n"
    "                  unknown), traps, unsaved, test-play (presses, won),\n"
    "                  chosen (the glyph painted), cursor, message,\n"
    "                  window-title, quit, then 'board' and its 16 rows of\n"
    "                  level text; --png writes the editor's whole picture\n"
    "  --no-traps      with --edit, the verdict alone: no exploration of the\n"
    "                  traps once a win is known (the report's traps empty)\n"
    "\n"
    "EVENT tokens, separated by white space (one argument may hold several):\n"
    "  key names, case-insensitive: Space Enter Escape Left Right Up Down\n"
    "    PageUp PageDown W A S D R U Backspace M H V E F2 F3, Ctrl-S\n"
    "    Ctrl-Z (the key with Control held), and Solution (the browser's\n"
    "    on-screen S: a way to win where S shows one, else nothing)\n"
    "  click:X,Y   a left-button press at window pixel X, Y\n"
    "  drag:X,Y    the pointer moved to X, Y with the left button held\n"
    "  char:C      the character C typed (one printable character; char:plus\n"
    "              and char:space for + and a space); in the editor a glyph\n"
    "              chooses its kind, u undoes, n adds a level, t plays\n"
    "  text:WORDS  each character of WORDS typed, '_' a space, as one group\n"
    "  Tokens joined by '+' without spaces form one group, queued at once.\n"
    "\n"
    "Each group is delivered by one main-loop redraw, whose event poll hands its\n"
    "events in order to the game's key and mouse callbacks; a handler that redraws\n"
    "polls the rest of its group nested, as a window system would. After the last\n"
    "group, one more main-loop redraw. A quit (Escape or \"Exit\" on the title)\n"
    "stops the replay there, with 'quit yes'.\n"
    "\n"
    "Report, on stdout: screen, outcome, index (current level), page, levels,\n"
    "tank (x y dx dy angle), quit, redraws (every redraw, the start-up's\n"
    "included), frames (animation frames), pauses, then the board as three\n"
    "16x16 grids: terrain, objects, states.\n"
    "\n"
    "Exit status: 0; 2 on an unknown token, an unreadable file, a --progress\n"
    "FILE that is not saved progress, a level index out of range or a PNG that\n"
    "cannot be written (nothing is reported then);\n"
    "1 when the report cannot be written to stdout.\n";

void warnReplay(const std::string& warning) { cli::say("replay", warning); }

}  // namespace

int replayCommand(int argc, char** argv) {
    setWarningSink(warnReplay);
    session::ReplaySetup setup;
    setup.dataDir = defaultDataDir();
    std::string pngFile, eventFile, editFile;
    std::vector<std::string> eventArgs;
    bool player = false, noTraps = false;
    const int status = cli::Options("replay", replayHelp)
                           .file("--data", setup.dataDir)
                           .file("--levels", setup.levelFile)
                           .whole("--start", setup.start, 0, 1000000000)
                           .file("--png", pngFile)
                           .flag("--undo", setup.set.undo)
                           .flag("--counter", setup.set.counter)
                           .value("--progress", "a file name",
                                  [&setup](const std::string& file) {
                                      setup.set.progressFile = file;
                                      setup.set.save = true;
                                      return !file.empty();
                                  })
                           .flag("--sounds", setup.sounds)
                           .flag("--guide", setup.set.guide)
                           .flag("--player", player)
                           .text("--events", eventFile)
                           .file("--edit", editFile)
                           .flag("--no-traps", noTraps)
                           .words(cli::Words::Tokens, eventArgs)
                           .parse(argc, argv);
    if (status >= 0) return status;
    setup.traps = !noTraps;
    if (setup.levelFile.empty()) setup.levelFile = setup.dataDir + "/data.lvl";
    if (player) session::useLauncherSet(setup.set);
    std::vector<session::EventGroup> groups;
    session::ReplayResult result;
    std::string error;
    if (setup.set.save && !progress::checkNamedFile(setup.set.progressFile, error))
        return cli::fail("replay", "--progress " + setup.set.progressFile + ": " + error, 2);
    std::vector<std::string> fileTokens;
    if (!eventFile.empty()) {
        if (!session::readEventFile(eventFile, fileTokens, setup, error)) return cli::fail("replay", error, 2);
        eventArgs.insert(eventArgs.begin(), fileTokens.begin(), fileTokens.end());
    }
    if (!editFile.empty()) {
        if (!session::parseEvents(eventArgs, groups, error) ||
            !session::playEditorReplay(setup, editFile, groups, result, error) ||
            (!pngFile.empty() && !session::writeEditorPng(pngFile, error)))
            return cli::fail("replay", error, 2);
        std::fputs(session::editorReport(result.quit).c_str(), stdout);
        return 0;
    }
    if (!session::parseEvents(eventArgs, groups, error) || !session::playReplay(setup, groups, result, error) ||
        (!pngFile.empty() && !session::writeScreenPng(pngFile, error)))
        return cli::fail("replay", error, 2);
    std::fputs(session::replayReport(result.quit).c_str(), stdout);
    if (setup.sounds) std::fputs(session::soundReport().c_str(), stdout);
    return 0;
}
