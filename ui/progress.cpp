// Saved progress: the record of wins and the last level, and its file.
#include "ui/progress.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>

#include "game/levels.h"
#include "ui/window_game.h"

namespace progress {

void (*beforeRename)() = nullptr;

namespace {

const char* const Header = "brimvale progress 1";

std::map<Hash, int> wins;                 // level key -> fewest presses
std::map<std::string, Hash> lastByFile;   // level file -> its last level played
std::string levelFileKey;
bool mutedState = false;

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash == 0 ? 1 : slash);
}

bool exists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

bool makeFolders(const std::string& dir) {
    if (dir.empty() || exists(dir)) return true;
    if (!makeFolders(folderOf(dir))) return false;
    return mkdir(dir.c_str(), 0755) == 0 || errno == EEXIST;
}

bool parseHash(const std::string& text, Hash& hash) {
    if (text.size() != 16 || text.find_first_not_of("0123456789abcdef") != std::string::npos) return false;
    hash = std::stoull(text, nullptr, 16);
    return true;
}

// One line of the file into the maps; false when it is not one we write.
bool parseLine(const std::string& line) {
    std::istringstream in(line);
    std::string word, key;
    in >> word;
    if (word == "muted") {
        int m = -1;
        if (!(in >> m) || (m != 0 && m != 1)) return false;
        mutedState = m == 1;
    } else if (word == "won") {
        Hash h = 0;
        long long presses = -1;
        if (!(in >> key) || !parseHash(key, h) || !(in >> presses) || presses < 0 || presses > 1000000000)
            return false;
        wins[h] = static_cast<int>(presses);
    } else if (word == "last") {
        Hash h = 0;
        if (!(in >> key) || !parseHash(key, h) || in.get() != ' ') return false;
        std::string file;
        std::getline(in, file);
        if (file.empty()) return false;
        lastByFile[file] = h;
        return true;
    } else {
        return false;
    }
    std::string rest;
    return !(in >> rest);
}

bool parse(const std::string& text) {
    std::istringstream in(text);
    std::string line;
    if (!std::getline(in, line) || line != Header) return false;
    while (std::getline(in, line))
        if (!line.empty() && !parseLine(line)) return false;
    return true;
}

// The first free name of progress.bad, progress.bad.1, ... beside `path`.
std::string asideName(const std::string& path) {
    const std::string base = folderOf(path) + "/progress.bad";
    std::string name = base;
    for (int n = 1; exists(name); ++n) name = base + "." + std::to_string(n);
    return name;
}

}  // namespace

Hash levelHash(const std::uint8_t* record) {
    Hash h = 14695981039346656037ull;
    for (int i = 0; i < LevelRecordBytes; ++i) h = (h ^ record[i]) * 1099511628211ull;
    return h;
}

Hash levelHashAt(int index) { return levelHash(game().levels.data.data() + static_cast<std::size_t>(index) * LevelRecordBytes); }

std::string hashText(Hash hash) {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

void clear() {
    wins.clear();
    lastByFile.clear();
    levelFileKey.clear();
    mutedState = false;
}

bool load(const std::string& path, const std::string& levelFile, std::string& warning) {
    clear();
    levelFileKey = levelFile;
    if (!exists(path)) return true;
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    const bool ok = in.good() || in.eof();
    if (ok && parse(text.str())) return true;
    clear();
    levelFileKey = levelFile;
    const std::string aside = asideName(path);
    if (std::rename(path.c_str(), aside.c_str()) == 0)
        warning = "cannot read the saved progress " + path + "; kept it as " + aside + " and started afresh";
    else
        warning = "cannot read the saved progress " + path + " and cannot move it aside (" + std::strerror(errno) +
                  "); progress will not be saved";
    return false;
}

bool save(const std::string& path, std::string& error) {
    std::string text = std::string(Header) + "\nmuted " + (mutedState ? "1" : "0") + "\n";
    for (const auto& w : wins) text += "won " + hashText(w.first) + " " + std::to_string(w.second) + "\n";
    for (const auto& l : lastByFile) text += "last " + hashText(l.second) + " " + l.first + "\n";
    const std::string temporary = path + ".new";
    if (!makeFolders(folderOf(path))) {
        error = "cannot make the folder of " + path + " (" + std::strerror(errno) + ")";
        return false;
    }
    std::FILE* f = std::fopen(temporary.c_str(), "wb");
    const bool written = f && std::fwrite(text.data(), 1, text.size(), f) == text.size();
    const bool closed = f && std::fclose(f) == 0;
    if (!written || !closed) {
        error = "cannot write " + temporary + " (" + std::strerror(errno) + ")";
        std::remove(temporary.c_str());
        return false;
    }
    if (beforeRename) beforeRename();
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        error = "cannot replace " + path + " (" + std::strerror(errno) + ")";
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

int best(int index) {
    const auto w = wins.find(levelHashAt(index));
    return w == wins.end() ? -1 : w->second;
}

int lastPlayed() {
    const auto l = lastByFile.find(levelFileKey);
    if (l == lastByFile.end()) return -1;
    for (int i = 0; i < game().levels.count; ++i)
        if (levelHashAt(i) == l->second) return i;
    return -1;
}

bool muted() { return mutedState; }
void setMuted(bool m) { mutedState = m; }

bool noteWin(int index, int presses) {
    const Hash h = levelHashAt(index);
    const auto w = wins.find(h);
    if (w != wins.end() && w->second <= presses) return false;
    wins[h] = presses;
    return true;
}

bool noteStart(int index) {
    const Hash h = levelHashAt(index);
    const auto l = lastByFile.find(levelFileKey);
    if (l != lastByFile.end() && l->second == h) return false;
    lastByFile[levelFileKey] = h;
    return true;
}

}  // namespace progress
