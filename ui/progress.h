// Saved progress: the levels won with their fewest presses (and those won
// only after a hint, and the presses of each best win), the last level
// played of each level file, and whether the sound is muted.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "ui/progress_state.h"

namespace progress {

// A level's key: FNV-1a over its 256 bytes, so an edited level is a new one
// and a moved one keeps its credit.
Hash levelHash(const std::uint8_t* record);
// The key of loaded level `index`, and any key as 16 hexadecimal digits.
Hash levelHashAt(int index);
std::string hashText(Hash hash);

// Forgets everything (no file is touched).
void clear();

// The largest progress file read: a real one is a few KB.
constexpr std::size_t MaxBytes = 1024 * 1024;

// Whether `path`, named by the player for the progress, may hold it: true
// when nothing is there (the file is made at the first save), or it is an
// empty regular file or one whose first line is the game's. Anything else
// (a folder, a device, a pipe, another file) is false with the reason in
// `error`, untouched: saved progress never replaces it.
bool checkNamedFile(const std::string& path, std::string& error);

// What load found: progress read (or none there), a bad file moved aside
// (the game starts afresh and saves anew), or a file that is left alone and
// must never be overwritten (progress is not saved).
enum class LoadResult { Loaded, SetAside, Unusable };

// Reads the progress kept in `path`; `levelFile` names the level file in
// play, whose last level played lastPlayed() then finds. A missing file is
// no progress, silently: Loaded. Only a regular file is read (a pipe is
// never waited on), of at most MaxBytes. One that is not a regular file or
// cannot be opened is left alone: Unusable, with one warning line that
// progress will not be saved. A regular file too large or that does not
// parse is renamed aside to progress.bad in its folder (progress.bad.1,
// .2... when taken, so none is overwritten): SetAside with one warning line
// (Unusable when it cannot be moved).
LoadResult load(const std::string& path, const std::string& levelFile, std::string& warning);

// Writes everything remembered to `path` (its folder made when missing).
// Under an exclusive lock on PATH.lock (flock), what the file holds by then
// is merged in: the fewest presses of each level from both, the file's last
// levels and mute state unless this game changed them. The text goes to a
// new file of a unique name beside it (created, never through a link),
// flushed to disk, renamed over `path`, and the folder flushed: the old
// file stays whole until the new one is. A file there that is not regular
// is never replaced. False with a message.
bool save(const std::string& path, std::string& error);

// Fewest presses of a win of loaded level `index`; -1 when never won.
int best(int index);
// The last level played of the level file, as an index of the loaded
// levels; -1 when none is known or it is no longer in the file.
int lastPlayed();
// True when the saved state says the sound is muted.
bool muted();
void setMuted(bool muted);

// Fewest presses of a win of level `index` after a hint; -1 when none.
int helpedBest(int index);
// The presses of the best win of level `index` as letters L R U D F (F
// fires), empty when none is kept.
std::string bestMoves(int index);

// A win of level `index` in `presses` (`helped`: after a hint, kept apart
// and never replacing a win without), with its presses as bestMoves spells
// them: true when it is new or fewer.
bool noteWin(int index, int presses, bool helped = false, const std::string& moves = "");
// Level `index` started: true when it differs from the last one played.
bool noteStart(int index);

}  // namespace progress
