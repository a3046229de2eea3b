// The player set's saved progress and press counter, wired into the screens.
#include "ui/conveniences.h"

#include <sys/stat.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>

#include "assets/data_file.h"
#include "game/levels.h"
#include "game/play_state.h"
#include "platform/platform.h"
#include "ui/history.h"
#include "ui/player_set.h"
#include "ui/progress.h"
#include "ui/screens.h"
#include "ui/window_game.h"

namespace {

void (*warn)(const std::string&) = nullptr;
std::map<progress::Hash, int> pars;
long startsNoted = 0;  // level starts before this many are the start-up's
std::string shownTitle = "Brimvale (port by Orlenko)";
bool progressUsable = false;

void say(const std::string& warning) {
    if (warn) warn(warning);
}

void save() {
    if (!playerSet().save || !progressUsable) return;
    std::string error;
    if (!progress::save(playerSet().progressFile, error)) say(error);
}

// One line of a par file, "KEY PRESSES" as `levels build --par` writes it.
bool parseParLine(const std::string& line, progress::Hash& hash, int& moves) {
    std::istringstream words(line);
    std::string key, rest;
    long long n = -1;
    if (!(words >> key >> n) || (words >> rest) || n < 0 || n > MaxParPresses || key.size() != 16) return false;
    for (const char c : key)
        if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
    hash = std::strtoull(key.c_str(), nullptr, 16);
    moves = static_cast<int>(n);
    return true;
}

// The shipped levels' fewest presses. A missing file is no news; any other
// that cannot be read whole, or a damaged one, costs the "fewest" figure
// and one warning.
void readPars(const std::string& path) {
    pars.clear();
    struct stat st;
    if (stat(path.c_str(), &st) != 0 && errno == ENOENT) return;
    const std::string without = "; playing without the fewest presses";
    std::size_t size = 0;
    std::string why;
    std::FILE* file = openDataFile(path, size, why);
    if (!file) return say(path + ": cannot open (" + why + ")" + without);
    if (size > MaxParFileBytes) {
        std::fclose(file);
        return say(path + ": " + std::to_string(size) + " bytes, more than the " +
                   std::to_string(MaxParFileBytes >> 20) + " MiB a par file may hold" + without);
    }
    std::string text(size, '\0');
    text.resize(size ? std::fread(&text[0], 1, size, file) : 0);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) return say(path + ": cannot be read" + without);
    std::istringstream lines(text);
    std::string line;
    for (int n = 1; std::getline(lines, line); ++n) {
        progress::Hash hash = 0;
        int moves = 0;
        if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
        if (!parseParLine(line, hash, moves)) {
            pars.clear();
            return say(path + ":" + std::to_string(n) + ": not a level key and its presses" + without);
        }
        pars[hash] = moves;
    }
}

}  // namespace

void setWarningSink(void (*sink)(const std::string&)) { warn = sink; }

void startConveniences(const std::string& levelFile, const std::string& parFile) {
    startsNoted = game().levels.starts;
    history::clear();
    if (playerSet().counter) readPars(parFile);
    if (!playerSet().save) return;
    std::string warning;
    progressUsable = !playerSet().progressFile.empty();
    if (!progressUsable) say("no folder for the saved progress (neither XDG_DATA_HOME nor HOME is set)");
    if (progressUsable && !progress::load(playerSet().progressFile, levelFile, warning)) {
        say(warning);
        // A file that could not be moved aside is never overwritten.
        progressUsable = warning.find("kept it as") != std::string::npos;
    }
    playerSet().muted = playerSet().muted || progress::muted();
    const int last = progress::lastPlayed();
    if (last >= 0 && game().play.screen != Playing) game().play.level = last;
}

void redrawForRules(Game&) {
    if (playerSet().save && progressUsable) {
        bool changed = false;
        if (game().levels.starts > startsNoted) {
            startsNoted = game().levels.starts;
            changed = progress::noteStart(game().play.level);
        }
        if (game().play.outcome == Won) changed = progress::noteWin(game().play.level, history::presses()) || changed;
        if (changed) save();
    }
    drawScreen();
}

void rememberSettings() {
    progress::setMuted(playerSet().muted);
    save();
}

int parOf(int index) {
    const auto p = pars.find(progress::levelHashAt(index));
    return p == pars.end() ? -1 : p->second;
}

std::string counterTitle() {
    if (game().play.screen != Playing && game().play.screen != Result) return "Brimvale (port by Orlenko)";
    std::string title = "Brimvale - level " + std::to_string(game().play.level + 1) + " - presses " +
                        std::to_string(history::presses());
    const int best = playerSet().save ? progress::best(game().play.level) : -1;
    if (best >= 0) title += " - best " + std::to_string(best);
    const int par = parOf(game().play.level);
    if (par >= 0) title += " - fewest " + std::to_string(par);
    return title;
}

void showCounterTitle() {
    const std::string title = counterTitle();
    if (title == shownTitle) return;
    shownTitle = title;
    platform::setWindowTitle(title.c_str());
}

void resetConveniences() {
    progress::clear();
    history::clear();
    pars.clear();
    startsNoted = game().levels.starts;
    shownTitle = "Brimvale (port by Orlenko)";
    progressUsable = false;
}
