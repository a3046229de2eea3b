// The player set's saved progress and press counter, wired into the screens.
#include "ui/conveniences.h"

#include <sys/stat.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>

#include "common/data_file.h"
#include "game/levels.h"
#include "game/play_state.h"
#include "platform/input.h"
#include "platform/platform.h"
#include "ui/guide.h"
#include "ui/history.h"
#include "ui/player_set.h"
#include "ui/progress.h"
#include "ui/ui_state.h"
#include "ui/window_game.h"

namespace {

// The window game's.
ConveniencesState& my() { return ui().conveniences; }

void save() {
    if (!playerSet().save || !my().progressUsable) return;
    std::string error;
    if (!progress::save(playerSet().progressFile, error)) sayWarning(error);
}

// One line of a par file, "KEY PRESSES" or "KEY PRESSES title TITLE" as
// `levels build --par` writes it: PRESSES -1 only beside a title (a level
// with none recorded).
bool parseParLine(const std::string& line, progress::Hash& hash, int& moves, std::string& title) {
    std::istringstream words(line);
    std::string key, rest;
    long long n = -2;
    if (!(words >> key >> n) || n < -1 || n > MaxParPresses || key.size() != 16) return false;
    for (const char c : key)
        if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
    std::getline(words, rest);
    while (!rest.empty() && (rest.back() == '\r' || rest.back() == ' ')) rest.pop_back();
    title.clear();
    if (!rest.empty()) {
        if (rest.compare(0, 7, " title ") != 0 || rest.size() == 7) return false;
        title = rest.substr(7);
    }
    if (n < 0 && title.empty()) return false;
    hash = std::strtoull(key.c_str(), nullptr, 16);
    moves = static_cast<int>(n);
    return true;
}

// The shipped levels' fewest presses and titles. A missing file is no news;
// any other that cannot be read whole, or a damaged one, costs the "fewest"
// figure and the titles, and one warning.
void readPars(const std::string& path) {
    my().pars.clear();
    my().titlesByHash.clear();
    struct stat st;
    if (stat(path.c_str(), &st) != 0 && errno == ENOENT) return;
    const std::string without = "; playing without the fewest presses";
    std::size_t size = 0;
    std::string why;
    std::FILE* file = openDataFile(path, size, why);
    if (!file) return sayWarning(path + ": cannot open (" + why + ")" + without);
    if (size > MaxParFileBytes) {
        std::fclose(file);
        return sayWarning(path + ": " + std::to_string(size) + " bytes, more than the " +
                   std::to_string(MaxParFileBytes >> 20) + " MiB a par file may hold" + without);
    }
    std::string text(size, '\0');
    text.resize(size ? std::fread(&text[0], 1, size, file) : 0);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) return sayWarning(path + ": cannot be read" + without);
    std::istringstream lines(text);
    std::string line;
    for (int n = 1; std::getline(lines, line); ++n) {
        progress::Hash hash = 0;
        int moves = 0;
        std::string title;
        if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
        if (!parseParLine(line, hash, moves, title)) {
            my().pars.clear();
            my().titlesByHash.clear();
            return sayWarning(path + ":" + std::to_string(n) + ": not a level key and its presses" + without);
        }
        if (moves >= 0) my().pars[hash] = moves;
        if (!title.empty()) my().titlesByHash[hash] = title;
    }
}

// The presses of the level in play as progress::bestMoves spells them.
std::string movesText() {
    std::string text;
    for (int key : history::pressKeys()) {
        switch (key) {
            case KeyLeft: case KeyA: text += 'L'; break;
            case KeyRight: case KeyD: text += 'R'; break;
            case KeyUp: case KeyW: text += 'U'; break;
            case KeyDown: case KeyS: text += 'D'; break;
            default: text += 'F'; break;
        }
    }
    return text;
}

}  // namespace

void setWarningSink(void (*sink)(const std::string&)) { uiConnections().warningSink = sink; }

void sayWarning(const std::string& warning) {
    if (uiConnections().warningSink) uiConnections().warningSink(warning);
}

void startConveniences(const std::string& levelFile, const std::string& parFile) {
    my().startsNoted = game().levels.starts;
    history::clear();
    if (playerSet().counter || playerSet().guide) readPars(parFile);
    if (playerSet().guide)
        for (int i = 0; i < game().levels.count; ++i) {
            const auto t = my().titlesByHash.find(progress::levelHashAt(i));
            // A title the level text gave stays.
            if (t != my().titlesByHash.end() && guide::titleOf(i).empty()) guide::setTitle(i, t->second);
        }
    if (!playerSet().save) return;
    std::string warning;
    my().progressUsable = !playerSet().progressFile.empty();
    if (!my().progressUsable) sayWarning("no folder for the saved progress (neither XDG_DATA_HOME nor HOME is set)");
    if (my().progressUsable) {
        const progress::LoadResult loaded = progress::load(playerSet().progressFile, levelFile, warning);
        if (loaded != progress::LoadResult::Loaded) sayWarning(warning);
        // A file that could not be moved aside is never overwritten.
        my().progressUsable = loaded != progress::LoadResult::Unusable;
    }
    playerSet().muted = playerSet().muted || progress::muted();
    const int last = progress::lastPlayed();
    if (last >= 0 && game().play.screen != Playing) game().play.level = last;
}

void noteWinsAndStarts() {
    // With the guide on, wins are kept for the session even when none is saved.
    const bool kept = playerSet().save && my().progressUsable;
    if (kept || playerSet().guide) {
        bool changed = false;
        if (game().levels.starts > my().startsNoted) {
            my().startsNoted = game().levels.starts;
            changed = progress::noteStart(game().play.level);
        }
        if (game().play.outcome == Won && !my().winNoted) {
            my().winNoted = true;
            const bool helped = playerSet().guide && guide::helped();
            const bool best = progress::noteWin(game().play.level, history::presses(), helped, movesText());
            if (playerSet().guide) guide::noteWin(history::presses(), best);
            changed = best || changed;
        }
        if (game().play.outcome != Won) my().winNoted = false;
        if (changed && kept) save();
    }
}

void rememberSettings() {
    progress::setMuted(playerSet().muted);
    save();
}

int parOf(int index) {
    const auto p = my().pars.find(progress::levelHashAt(index));
    return p == my().pars.end() ? -1 : p->second;
}

std::string counterTitle() {
    std::string note = playerSet().guide ? guide::titleNote() : std::string();
    if (!note.empty()) note = " - " + note;
    if (game().play.screen != Playing && game().play.screen != Result) return platform::WindowTitle + note;
    std::string title = "Brimvale - level " + std::to_string(game().play.level + 1);
    if (playerSet().guide) title += guide::titleAdditions();
    if (!playerSet().counter) return title + note;
    title += " - presses " + std::to_string(history::presses());
    const int best = playerSet().save ? progress::best(game().play.level) : -1;
    if (best >= 0) title += " - best " + std::to_string(best);
    const int par = parOf(game().play.level);
    if (par >= 0) title += " - fewest " + std::to_string(par);
    return title + note;
}

void showCounterTitle() {
    const std::string title = counterTitle();
    if (title == my().shownTitle) return;
    my().shownTitle = title;
    platform::setWindowTitle(title.c_str());
}

void resetConveniences() { ui() = UiState{}; }
