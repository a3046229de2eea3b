// The text form of levels: the parser, the formatter and the record helpers.
#include "game/level_text.h"

#include <cstdio>

#include "game/board.h"

namespace leveltext {

namespace {

const char escapeChar = '\\';

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string describeChar(char c) {
    const unsigned char u = static_cast<unsigned char>(c);
    char buf[32];
    if (c == ' ')
        return "a space";
    else if (c == '\t')
        return "a tab";
    else if (u < 32 || u >= 127)
        std::snprintf(buf, sizeof buf, "byte 0x%02x", u);
    else
        std::snprintf(buf, sizeof buf, "'%c'", c);
    return buf;
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string trim(const std::string& s) {
    std::size_t a = 0, b = s.size();
    while (a < b && isBlank(s[a])) ++a;
    while (b > a && isBlank(s[b - 1])) --b;
    return s.substr(a, b - a);
}

// "title" followed by a blank or the end of the line.
bool startsWithWord(const std::string& line, const char* word) {
    const std::string w(word);
    if (line.compare(0, w.size(), w) != 0) return false;
    return line.size() == w.size() || isBlank(line[w.size()]);
}

bool isKeywordLine(const std::string& line) {
    return startsWithWord(line, "title") || startsWithWord(line, "moves") || startsWithWord(line, "trap") ||
           startsWithWord(line, "needs");
}

const char* const pressNames[] = {"Left", "Right", "Up", "Down", "Space"};

const char* const needsWords_[NeedsWordCount] = {"push",  "water", "shove", "brick",     "fixed-mirror",
                                                 "movable-mirror", "glass", "slot",  "anti-tank", "shield"};

// Decimal digits only, at most seven of them.
bool readPressCount(const std::string& text, int& value) {
    if (text.empty() || text.size() > 7) return false;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

// The presses of a trap line; false at the first word that names none, with
// that word in `bad` and its place in `words` in `badAt`.
bool readPresses(const std::string& words, std::vector<std::uint8_t>& presses, std::string& bad,
                 std::size_t& badAt) {
    std::size_t pos = 0;
    while (pos < words.size()) {
        while (pos < words.size() && isBlank(words[pos])) ++pos;
        std::size_t end = pos;
        while (end < words.size() && !isBlank(words[end])) ++end;
        if (end == pos) break;
        const std::string word = words.substr(pos, end - pos);
        int press = 0;
        while (press < 5 && word != pressNames[press]) ++press;
        if (press == 5) {
            bad = word;
            badAt = pos;
            return false;
        }
        presses.push_back(static_cast<std::uint8_t>(press));
        pos = end;
    }
    return !presses.empty();
}

class Parser {
public:
    Parser(const std::string& fileName, std::vector<Level>& levels, std::vector<Diagnostic>& diagnostics)
        : file_(fileName), levels_(levels), diagnostics_(diagnostics) {}

    void run(const std::string& text) {
        std::size_t pos = 0;
        int lineNo = 0;
        while (pos < text.size()) {
            std::size_t end = text.find('\n', pos);
            if (end == std::string::npos) end = text.size();
            std::string line = text.substr(pos, end - pos);
            // Carriage returns end a line, however many and mixed with blanks:
            // a title never keeps one, which its formatted line could not give
            // back.
            while (!line.empty() && (line.back() == '\r' || isBlank(line.back()))) line.pop_back();
            ++lineNo;
            handleLine(line, lineNo);
            pos = end + 1;
        }
        endOfInput(lineNo + 1);
    }

    bool failed() const { return failed_; }

private:
    enum class Where { Outside, Header, Grid };

    void error(int line, int column, const std::string& message) {
        diagnostics_.push_back(Diagnostic{file_, line, column, false, message});
        failed_ = true;
    }
    void warning(int line, int column, const std::string& message) {
        diagnostics_.push_back(Diagnostic{file_, line, column, true, message});
    }

    std::string name() const { return "level '" + current_.title + "'"; }

    void handleLine(const std::string& raw, int lineNo) {
        const std::string line = trim(raw);
        const bool comment = !line.empty() && line[0] == ';';
        if (comment) {
            noteComment(trim(line.substr(1)));
            return;
        }
        if (line.empty() && where_ != Where::Grid) comment_.clear();
        if (where_ == Where::Grid) {
            if (line.empty()) {
                error(lineNo, 1, name() + ": blank line inside its rows (row " + std::to_string(rows_ + 1) +
                                     " of 16 expected)");
                return;
            }
            if (isKeywordLine(line)) {
                shortGrid(lineNo);
                handleKeyword(raw, line, lineNo);
                return;
            }
            row(raw, lineNo);
            return;
        }
        if (line.empty()) return;
        if (isKeywordLine(line)) {
            handleKeyword(raw, line, lineNo);
            return;
        }
        if (where_ == Where::Header) {
            where_ = Where::Grid;
            row(raw, lineNo);
            return;
        }
        if (finished_)
            error(lineNo, 1, "level '" + levels_.back().title +
                                 "' already has its 16 rows; start the next level with 'title NAME'");
        else
            error(lineNo, 1, "expected 'title NAME' to start a level");
    }

    void handleKeyword(const std::string& raw, const std::string& line, int lineNo) {
        const int indent = static_cast<int>(raw.find_first_not_of(" \t"));
        if (startsWithWord(line, "title")) {
            const std::string title = trim(line.substr(5));
            if (title.empty()) {
                error(lineNo, indent + 6, "'title' needs a name");
            }
            startLevel(title.empty() ? "(untitled)" : title, lineNo);
            return;
        }
        const bool trap = startsWithWord(line, "trap"), needs = startsWithWord(line, "needs");
        if (where_ != Where::Header) {
            error(lineNo, indent + 1,
                  std::string(trap ? "'trap'" : needs ? "'needs'" : "'moves'") +
                      " belongs between a level's title and its rows");
            return;
        }
        if (trap) {
            trapLine(line, lineNo, indent);
            return;
        }
        if (needs) {
            needsLine(line, lineNo, indent);
            return;
        }
        const std::string value = trim(line.substr(5));
        const int column = indent + 1 + static_cast<int>(line.find(value, 5));
        int moves = 0;
        if (!readPressCount(value, moves)) {
            error(lineNo, value.empty() ? indent + 6 : column, "'moves' needs a whole number of key presses");
            return;
        }
        if (current_.moves >= 0) {
            error(lineNo, indent + 1, name() + " already has a 'moves' line");
            return;
        }
        current_.moves = moves;
    }

    void trapLine(const std::string& line, int lineNo, int indent) {
        std::vector<std::uint8_t> presses;
        std::string bad;
        std::size_t badAt = 1;  // no presses: just past the keyword
        if (!readPresses(line.substr(4), presses, bad, badAt)) {
            error(lineNo, indent + 5 + static_cast<int>(badAt),
                  bad.empty() ? "'trap' needs presses: Left Right Up Down Space"
                              : "'trap' takes Left Right Up Down Space, not '" + bad + "'");
            return;
        }
        if (!current_.trap.empty()) {
            error(lineNo, indent + 1, name() + " already has a 'trap' line");
            return;
        }
        current_.trap = presses;
    }

    void needsLine(const std::string& line, int lineNo, int indent) {
        std::uint16_t set = 0;
        std::size_t pos = 5;
        while (pos < line.size()) {
            while (pos < line.size() && isBlank(line[pos])) ++pos;
            std::size_t end = pos;
            while (end < line.size() && !isBlank(line[end])) ++end;
            if (end == pos) break;
            const std::uint16_t m = needsFromWord(line.substr(pos, end - pos));
            if (!m) {
                error(lineNo, indent + 1 + static_cast<int>(pos),
                      "'needs' takes " + needsWords(0xFFFF) + ", not '" + line.substr(pos, end - pos) + "'");
                return;
            }
            set |= m;
            pos = end;
        }
        if (!set) {
            error(lineNo, indent + 6, "'needs' names at least one of " + needsWords(0xFFFF));
            return;
        }
        if (current_.needs) {
            error(lineNo, indent + 1, name() + " already has a 'needs' line");
            return;
        }
        current_.needs = set;
    }

    // A comment right above a title is the idea of its level; without one, a
    // comment between the title and the rows is.
    void noteComment(const std::string& text) {
        if (where_ == Where::Header) {
            if (!ideaAbove_) current_.idea += (current_.idea.empty() || text.empty() ? "" : " ") + text;
        } else if (where_ == Where::Outside) {
            comment_ += (comment_.empty() || text.empty() ? "" : " ") + text;
        }
    }

    void startLevel(const std::string& title, int lineNo) {
        current_ = Level();
        current_.title = title;
        current_.idea = comment_;
        ideaAbove_ = !comment_.empty();
        comment_.clear();
        current_.file = file_;
        current_.line = lineNo;
        rows_ = 0;
        tankStarts_ = 0;
        where_ = Where::Header;
        finished_ = false;
    }

    // The grid ended before its 16th row, at line lineNo.
    void shortGrid(int lineNo) {
        error(lineNo, 1, name() + " has " + std::to_string(rows_) + (rows_ == 1 ? " row" : " rows") +
                             "; a level has 16");
        where_ = Where::Outside;
    }

    void row(const std::string& raw, int lineNo) {
        const int rowIndex = rows_++;
        std::size_t i = 0;
        int cells = 0;
        bool bad = false;
        // Cells run to the first blank or the end of the line.
        while (i < raw.size() && !isBlank(raw[i])) {
            const int column = static_cast<int>(i) + 1;
            int code = -1;
            if (raw[i] == escapeChar) {
                const int hi = i + 1 < raw.size() ? hexValue(raw[i + 1]) : -1;
                const int lo = i + 2 < raw.size() ? hexValue(raw[i + 2]) : -1;
                if (hi < 0 || lo < 0) {
                    std::size_t n = 1;
                    while (n < 3 && i + n < raw.size() && !isBlank(raw[i + n])) ++n;
                    error(lineNo, column,
                          "bad escape '" + raw.substr(i, n) + "': write a byte as \\ and two hex digits, as \\1a");
                    bad = true;
                    i += n;
                    ++cells;
                    continue;
                }
                code = hi * 16 + lo;
                i += 3;
            } else {
                code = codeForGlyph(raw[i]);
                if (code < 0) {
                    error(lineNo, column, "unknown glyph " + describeChar(raw[i]));
                    bad = true;
                }
                ++i;
            }
            if (cells < BoardSize && rowIndex < BoardSize && code >= 0)
                current_.cells[rowIndex * BoardSize + cells] = static_cast<std::uint8_t>(code);
            if (code == TankStart) ++tankStarts_;
            ++cells;
            if (cells == BoardSize + 1) {
                error(lineNo, column, "row " + std::to_string(rowIndex + 1) + " has more than 16 cells");
                bad = true;
            }
        }
        const std::size_t cellsEnd = i;
        while (i < raw.size() && isBlank(raw[i])) ++i;
        if (cells < BoardSize && !bad) {
            error(lineNo, static_cast<int>(cellsEnd) + 1,
                  "row " + std::to_string(rowIndex + 1) + " has " + std::to_string(cells) +
                      (cells == 1 ? " cell" : " cells") + "; a row has 16");
        } else if (i < raw.size() && raw[i] != ';' && !bad) {
            error(lineNo, static_cast<int>(i) + 1,
                  "unexpected text after row " + std::to_string(rowIndex + 1) + " (a comment starts with ';')");
        }
        if (rows_ == BoardSize) finishLevel();
    }

    void finishLevel() {
        if (tankStarts_ == 0)
            warning(current_.line, 1, name() + " has no tank start ('T'): the tank stays where it stood");
        else if (tankStarts_ > 1)
            warning(current_.line, 1,
                    name() + " has " + std::to_string(tankStarts_) + " tank starts: the tank starts at the last");
        levels_.push_back(current_);
        comment_.clear();
        where_ = Where::Outside;
        finished_ = true;
    }

    void endOfInput(int lineNo) {
        if (where_ == Where::Grid) shortGrid(lineNo);
        else if (where_ == Where::Header)
            error(lineNo, 1, name() + " has no rows; a level has 16");
    }

    std::string file_;
    std::vector<Level>& levels_;
    std::vector<Diagnostic>& diagnostics_;
    Level current_;
    Where where_ = Where::Outside;
    int rows_ = 0;
    int tankStarts_ = 0;
    std::string comment_;     // the comment lines just read outside a level
    bool ideaAbove_ = false;  // the level's idea came from above its title
    bool finished_ = false;
    bool failed_ = false;
};

}  // namespace

const char* needsWord(int k) { return k >= 0 && k < NeedsWordCount ? needsWords_[k] : "?"; }

std::uint16_t needsFromWord(const std::string& w) {
    for (int k = 0; k < NeedsWordCount; ++k)
        if (w == needsWords_[k]) return static_cast<std::uint16_t>(1u << k);
    return 0;
}

std::string needsWords(std::uint16_t set) {
    std::string out;
    for (int k = 0; k < NeedsWordCount; ++k) {
        if (!(set & (1u << k))) continue;
        if (!out.empty()) out += ' ';
        out += needsWords_[k];
    }
    return out;
}

std::string Diagnostic::text() const {
    std::string out = file + ":" + std::to_string(line) + ":" + std::to_string(column) + ": ";
    out += warning ? "warning: " : "error: ";
    out += message;
    return out;
}

bool parseSource(const std::string& text, const std::string& fileName, std::vector<Level>& levels,
                 std::vector<Diagnostic>& diagnostics) {
    Parser parser(fileName, levels, diagnostics);
    parser.run(text);
    return !parser.failed();
}

std::string pressWords(const std::vector<std::uint8_t>& presses) {
    std::string out;
    for (std::uint8_t p : presses) out += (out.empty() ? "" : " ") + std::string(p < 5 ? pressNames[p] : "?");
    return out;
}

std::string formatLevel(const Level& level) {
    std::string out = level.idea.empty() ? std::string() : "; " + level.idea + "\n";
    out += "title " + level.title + "\n";
    if (level.moves >= 0) out += "moves " + std::to_string(level.moves) + "\n";
    if (!level.trap.empty()) out += "trap " + pressWords(level.trap) + "\n";
    if (level.needs) out += "needs " + needsWords(level.needs) + "\n";
    for (int y = 0; y < BoardSize; ++y) {
        for (int x = 0; x < BoardSize; ++x) {
            const std::uint8_t code = level.cells[y * BoardSize + x];
            const char g = glyphFor(code);
            if (g) {
                out += g;
            } else {
                char buf[4];
                std::snprintf(buf, sizeof buf, "\\%02x", code);
                out += buf;
            }
        }
        out += '\n';
    }
    return out;
}

std::string dumpRecords(const std::vector<Record>& records, const std::string& fromName) {
    std::string out = "; " + std::to_string(records.size()) + (records.size() == 1 ? " level" : " levels") +
                      " from " + fromName + "\n";
    for (std::size_t i = 0; i < records.size(); ++i) {
        Level level;
        level.title = "Level " + std::to_string(i + 1);
        level.cells = records[i];
        out += "\n" + formatLevel(level);
    }
    return out;
}

std::vector<Record> splitRecords(const std::string& bytes, std::size_t* trailing) {
    std::vector<Record> records;
    for (std::size_t at = 0; at + RecordBytes <= bytes.size(); at += RecordBytes)
        records.emplace_back(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                             bytes.begin() + static_cast<std::ptrdiff_t>(at + RecordBytes));
    if (trailing) *trailing = bytes.size() % RecordBytes;
    return records;
}

std::string joinRecords(const std::vector<Record>& records) {
    std::string out;
    out.reserve(records.size() * RecordBytes);
    for (const Record& r : records) out.append(reinterpret_cast<const char*>(r.data()), r.size());
    return out;
}

std::string compileLevels(const std::vector<Level>& levels) {
    std::vector<Record> records;
    for (const Level& level : levels) records.push_back(level.cells);
    return joinRecords(records);
}

}  // namespace leveltext
