// Saved progress: the record of wins and the last level, and its file.
#include "ui/progress.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <sstream>

#include "assets/data_file.h"
#include "game/levels.h"
#include "ui/ui_state.h"
#include "ui/window_game.h"

namespace progress {

namespace {

const char* const Header = "brimvale progress 1";

// The window game's progress.
progress::State& my() { return ui().progress; }

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash == 0 ? 1 : slash);
}

bool exists(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

bool makeFolders(const std::string& dir) {
    struct stat st;
    if (dir.empty() || stat(dir.c_str(), &st) == 0) return true;
    if (!makeFolders(folderOf(dir))) return false;
    return mkdir(dir.c_str(), 0755) == 0 || errno == EEXIST;
}

bool parseHash(const std::string& text, Hash& hash) {
    if (text.size() != 16 || text.find_first_not_of("0123456789abcdef") != std::string::npos) return false;
    hash = std::stoull(text, nullptr, 16);
    return true;
}

// A level file's path as one line of text: a backslash, a control byte and
// DEL as \\ or \xHH, every other byte as it is.
std::string escapePath(const std::string& path) {
    std::string out;
    for (const char c : path) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (c == '\\') {
            out += "\\\\";
        } else if (u < 0x20 || u == 0x7f) {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02x", u);
            out += hex;
        } else {
            out += c;
        }
    }
    return out;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// The path back from its line; false on an escape escapePath never writes.
bool unescapePath(const std::string& text, std::string& path) {
    path.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            path += text[i];
        } else if (i + 1 < text.size() && text[i + 1] == '\\') {
            path += '\\';
            ++i;
        } else if (i + 3 < text.size() && text[i + 1] == 'x' && hexDigit(text[i + 2]) >= 0 &&
                   hexDigit(text[i + 3]) >= 0) {
            path += static_cast<char>(hexDigit(text[i + 2]) * 16 + hexDigit(text[i + 3]));
            i += 3;
        } else {
            return false;
        }
    }
    return true;
}

// One line of the file into `state`; false when it is not one we write.
bool parseLine(const std::string& line, Record& state) {
    std::istringstream in(line);
    std::string word, key;
    in >> word;
    if (word == "muted") {
        int m = -1;
        if (!(in >> m) || (m != 0 && m != 1)) return false;
        state.muted = m == 1;
    } else if (word == "won") {
        Hash h = 0;
        long long presses = -1;
        if (!(in >> key) || !parseHash(key, h) || !(in >> presses) || presses < 0 || presses > 1000000000)
            return false;
        state.wins[h] = static_cast<int>(presses);
    } else if (word == "helped") {
        Hash h = 0;
        long long presses = -1;
        if (!(in >> key) || !parseHash(key, h) || !(in >> presses) || presses < 0 || presses > 1000000000)
            return false;
        state.helpedWins[h] = static_cast<int>(presses);
    } else if (word == "presses") {
        Hash h = 0;
        std::string moves;
        if (!(in >> key) || !parseHash(key, h) || !(in >> moves) || moves.find_first_not_of("LRUDF") != std::string::npos)
            return false;
        state.winMoves[h] = moves;
    } else if (word == "last") {
        Hash h = 0;
        if (!(in >> key) || !parseHash(key, h) || in.get() != ' ') return false;
        std::string text, file;
        std::getline(in, text);
        if (!unescapePath(text, file)) return false;
        state.lastByFile[file] = h;
        return true;
    } else {
        return false;
    }
    std::string rest;
    return !(in >> rest);
}

bool parse(const std::string& text, Record& state) {
    std::istringstream in(text);
    std::string line;
    if (!std::getline(in, line) || line != Header) return false;
    while (std::getline(in, line))
        if (!line.empty() && !parseLine(line, state)) return false;
    return true;
}

std::string format(const Record& state) {
    std::string text = std::string(Header) + "\nmuted " + (state.muted ? "1" : "0") + "\n";
    for (const auto& w : state.wins) text += "won " + hashText(w.first) + " " + std::to_string(w.second) + "\n";
    for (const auto& w : state.helpedWins) text += "helped " + hashText(w.first) + " " + std::to_string(w.second) + "\n";
    for (const auto& w : state.winMoves) text += "presses " + hashText(w.first) + " " + w.second + "\n";
    for (const auto& l : state.lastByFile) text += "last " + hashText(l.second) + " " + escapePath(l.first) + "\n";
    return text;
}

// The first free name of progress.bad, progress.bad.1, ... beside `path`.
std::string asideName(const std::string& path) {
    const std::string base = folderOf(path) + "/progress.bad";
    std::string name = base;
    for (int n = 1; exists(name); ++n) name = base + "." + std::to_string(n);
    return name;
}

// What reading the file found.
enum class Found { Nothing, Progress, Damaged, TooLarge, Unusable };

// Reads `path` into `state`: a missing file is Nothing; anything but a
// regular file is Unusable (opened without waiting for a pipe's writer, not
// a byte read), as is one that cannot be opened or read (with `reason`); a
// file over MaxBytes is TooLarge, one that does not parse Damaged.
Found readFile(const std::string& path, Record& state, std::string& reason) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0 && errno == ENOENT) return Found::Nothing;  // or a link to nothing
    std::size_t bytes = 0;
    std::FILE* f = openDataFile(path, bytes, reason);
    if (!f) return Found::Unusable;
    if (bytes > MaxBytes) {
        std::fclose(f);
        return Found::TooLarge;
    }
    std::string text;
    char chunk[16384];
    std::size_t got = 0;
    while (text.size() <= MaxBytes && (got = std::fread(chunk, 1, sizeof chunk, f)) > 0) text.append(chunk, got);
    const bool failed = std::ferror(f);
    std::fclose(f);
    if (failed) {
        reason = "a read error";
        return Found::Unusable;
    }
    if (text.size() > MaxBytes) return Found::TooLarge;  // it grew while read
    return parse(text, state) ? Found::Progress : Found::Damaged;
}

// Moves a file that is not whole progress aside: the warning says where;
// false when it could not be moved.
bool setAside(const std::string& path, Found found, std::string& warning) {
    const std::string why = found == Found::TooLarge ? " (larger than the 1 MiB a progress file may hold)" : "";
    const std::string aside = asideName(path);
    if (std::rename(path.c_str(), aside.c_str()) == 0) {
        warning = "cannot read the saved progress " + path + why + "; kept it as " + aside + " and started afresh";
        return true;
    }
    warning = "cannot read the saved progress " + path + why + " and cannot move it aside (" +
              std::strerror(errno) + "); progress will not be saved";
    return false;
}

// Joins our wins into those saved: per level the fewer presses win, and the
// presses kept for the best win go with our count when it is the one kept
// (a helped win's only where no unhelped win is saved).
void keepFewest(const std::map<Hash, int>& ours, std::map<Hash, int>& saved, const std::map<Hash, std::string>& ourMoves,
                std::map<Hash, std::string>& savedMoves, const std::map<Hash, int>* unhelped = nullptr) {
    for (const auto& w : ours) {
        const auto s = saved.find(w.first);
        if (s != saved.end() && s->second <= w.second) continue;
        saved[w.first] = w.second;
        const auto m = ourMoves.find(w.first);
        if (m != ourMoves.end() && !(unhelped && unhelped->count(w.first))) savedMoves[w.first] = m->second;
    }
}

// The exclusive lock on PATH.lock, held while it lives; other games' saves
// wait for it. The lock file stays.
class Lock {
public:
    explicit Lock(const std::string& path) {
        fd_ = open((path + ".lock").c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0644);
        if (fd_ < 0) {
            error_ = std::strerror(errno);
            return;
        }
        struct stat st;
        if (fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
            error_ = "not a regular file";
        } else {
            while (flock(fd_, LOCK_EX) != 0)
                if (errno != EINTR) {
                    error_ = std::strerror(errno);
                    break;
                }
        }
        if (!error_.empty()) {
            close(fd_);
            fd_ = -1;
        }
    }
    ~Lock() {
        if (fd_ >= 0) close(fd_);  // the lock goes with the descriptor
    }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;
    bool held() const { return fd_ >= 0; }
    const std::string& error() const { return error_; }

private:
    int fd_ = -1;
    std::string error_;
};

// A new file beside `path` under a name no other file has: created, never
// opened through a link or over an existing file. -1 with errno when none.
int createTemporary(const std::string& path, std::string& name) {
    static unsigned counter = 0;
    const char* const letters = "abcdefghijklmnopqrstuvwxyz0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        // Unique in this process by the counter, across processes by the id.
        unsigned long mix = static_cast<unsigned long>(getpid()) * 2654435761ul + ++counter * 40503ul +
                            reinterpret_cast<std::uintptr_t>(&counter);
        name = path + ".new.";
        for (int i = 0; i < 8; ++i, mix /= 36) name += letters[mix % 36];
        const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, 0644);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

bool writeAll(int fd, const std::string& text) {
    for (std::size_t done = 0; done < text.size();) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// The folder's entry of a renamed file on disk (where the system can).
void syncFolder(const std::string& dir) {
    const int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
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
    my() = State{};
}

namespace {

// What a path that is no regular file names, as the player reads it.
const char* otherKind(mode_t mode) {
    if (S_ISDIR(mode)) return "is a folder";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "is a device";
    if (S_ISFIFO(mode)) return "is a pipe";
    return "is not a regular file";
}

}  // namespace

bool checkNamedFile(const std::string& path, std::string& error) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0) {
        if (errno == ENOENT) return true;  // a new file (or a link to one)
        error = std::strerror(errno);
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        error = std::string(otherKind(st.st_mode)) + ", not a saved progress file";
        return false;
    }
    std::size_t bytes = 0;
    std::FILE* f = openDataFile(path, bytes, error);
    if (!f) {
        error = "cannot open it (" + error + ")";
        return false;
    }
    char start[32] = {};
    const std::size_t got = std::fread(start, 1, sizeof start, f);
    std::fclose(f);
    const std::size_t header = std::strlen(Header);
    if (got == 0 || (got >= header && std::memcmp(start, Header, header) == 0 &&
                     (got == header || start[header] == '\n')))
        return true;
    error = "not a saved progress file (it does not begin '" + std::string(Header) +
            "'); name a new file or one the game wrote";
    return false;
}

LoadResult load(const std::string& path, const std::string& levelFile, std::string& warning) {
    clear();
    my().levelFileKey = levelFile;
    std::string reason;
    const Found found = readFile(path, my().current, reason);
    if (found == Found::Nothing || found == Found::Progress) return LoadResult::Loaded;
    my().current = Record{};
    if (found == Found::Unusable) {
        warning = "cannot read the saved progress " + path + " (" + reason + "); progress will not be saved";
        return LoadResult::Unusable;
    }
    // Moved aside under the lock, and only when no other game has saved
    // whole progress there in the meantime.
    Lock lock(path);
    Record again;
    const Found now = readFile(path, again, reason);
    if (now == Found::Progress || now == Found::Nothing) {
        my().current = again;
        return LoadResult::Loaded;
    }
    if (now == Found::Unusable) {
        warning = "cannot read the saved progress " + path + " (" + reason + "); progress will not be saved";
        return LoadResult::Unusable;
    }
    return setAside(path, now, warning) ? LoadResult::SetAside : LoadResult::Unusable;
}

bool save(const std::string& path, std::string& error) {
    const std::string dir = folderOf(path);
    if (!makeFolders(dir)) {
        error = "cannot make the folder of " + path + " (" + std::strerror(errno) + ")";
        return false;
    }
    Lock lock(path);
    if (!lock.held()) {
        error = "cannot lock " + path + ".lock (" + lock.error() + ")";
        return false;
    }
    // What other games saved since: their wins join ours, the fewest
    // presses winning; their last levels and mute state stay unless this
    // game changed them.
    Record saved;
    std::string reason, warning;
    const Found found = readFile(path, saved, reason);
    if (found == Found::Unusable) {
        error = "cannot save the progress in " + path + " (" + reason + ")";
        return false;
    }
    if (found == Found::Damaged || found == Found::TooLarge) {
        setAside(path, found, warning);
        if (exists(path)) {
            error = warning;
            return false;
        }
        saved = Record{};
    }
    keepFewest(my().current.wins, saved.wins, my().current.winMoves, saved.winMoves);
    keepFewest(my().current.helpedWins, saved.helpedWins, my().current.winMoves, saved.winMoves, &saved.wins);
    for (const std::string& file : my().lastNoted) saved.lastByFile[file] = my().current.lastByFile[file];
    if (my().mutedNoted) saved.muted = my().current.muted;
    my().current = saved;

    const std::string text = format(my().current);
    std::string temporary;
    const int fd = createTemporary(path, temporary);
    if (fd < 0) {
        error = "cannot create a new file beside " + path + " (" + std::strerror(errno) + ")";
        return false;
    }
    const bool written = writeAll(fd, text) && (!uiConnections().progressFile.syncToDisk || fsync(fd) == 0);
    const int writeErrno = errno;
    if (close(fd) != 0 || !written) {
        error = "cannot write " + temporary + " (" + std::strerror(written ? errno : writeErrno) + ")";
        unlink(temporary.c_str());
        return false;
    }
    if (uiConnections().progressFile.beforeRename) uiConnections().progressFile.beforeRename();
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        error = "cannot replace " + path + " (" + std::strerror(errno) + ")";
        unlink(temporary.c_str());
        return false;
    }
    if (uiConnections().progressFile.syncToDisk) syncFolder(dir);
    return true;
}

int best(int index) {
    const auto w = my().current.wins.find(levelHashAt(index));
    return w == my().current.wins.end() ? -1 : w->second;
}

int lastPlayed() {
    const auto l = my().current.lastByFile.find(my().levelFileKey);
    if (l == my().current.lastByFile.end()) return -1;
    for (int i = 0; i < game().levels.count; ++i)
        if (levelHashAt(i) == l->second) return i;
    return -1;
}

bool muted() { return my().current.muted; }
void setMuted(bool m) {
    my().current.muted = m;
    my().mutedNoted = true;
}

int helpedBest(int index) {
    const auto w = my().current.helpedWins.find(levelHashAt(index));
    return w == my().current.helpedWins.end() ? -1 : w->second;
}

std::string bestMoves(int index) {
    const auto w = my().current.winMoves.find(levelHashAt(index));
    return w == my().current.winMoves.end() ? std::string() : w->second;
}

bool noteWin(int index, int presses, bool helped, const std::string& moves) {
    const Hash h = levelHashAt(index);
    // A win after a hint never replaces one without.
    std::map<Hash, int>& kept = helped ? my().current.helpedWins : my().current.wins;
    const auto w = kept.find(h);
    if (w != kept.end() && w->second <= presses) return false;
    kept[h] = presses;
    if (!moves.empty() && (!helped || my().current.wins.find(h) == my().current.wins.end())) my().current.winMoves[h] = moves;
    return true;
}

bool noteStart(int index) {
    const Hash h = levelHashAt(index);
    const auto l = my().current.lastByFile.find(my().levelFileKey);
    if (l != my().current.lastByFile.end() && l->second == h) return false;
    my().current.lastByFile[my().levelFileKey] = h;
    my().lastNoted.insert(my().levelFileKey);
    return true;
}

}  // namespace progress
