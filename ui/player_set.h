// The player conveniences that options switch on; all off is the classic game.
#pragma once

#include <string>

// What the command line turned on. The bare program and the tools leave
// every field at its default, so the game plays, draws and writes exactly
// as it always has; the installed launcher passes the player set.
struct PlayerSet {
    bool save = false;     // remember won levels and the last level played
    bool undo = false;     // Backspace or U takes back the last press
    bool counter = false;  // level, presses and best in the window title
    bool sound = false;    // effects for the events of play
    bool muted = false;    // sound on but silenced (M toggles it)
    bool guide = false;    // won and lost told apart, level titles, marks, the mute sign, hints, solutions
    bool gamepad = false;  // controllers play: their buttons are keys (platform/gamepad.h)
    bool desktop = false;  // the window named "brimvale" to the desktop, with the icon
    bool editor = false;   // E on the level list opens the level as a copy in the editor (ui/editor.h)
    // Input behind the choice of a level waits for its playing screen (the
    // classic game hands it to the level list drawn once more meanwhile).
    bool steadyInput = false;
    std::string progressFile;  // where progress is kept while `save` is on
};

// The player set of the window's game.
PlayerSet& playerSet();
