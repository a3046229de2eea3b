#include "tools/session/replay.h"

#include <stb_image_write.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/startup.h"
#include "game/board.h"
#include "game/levels.h"
#include "platform/platform.h"
#include "render/screen.h"
#include "tools/cli/commands.h"
#include "ui/input.h"
#include "ui/screens.h"

namespace {

struct KeyName {
    const char* name;
    int key;
};

const KeyName keyNames[] = {
    {"space", KeySpace},   {"enter", KeyEnter},     {"escape", KeyEscape},     {"left", KeyLeft},
    {"right", KeyRight},   {"up", KeyUp},           {"down", KeyDown},         {"pageup", KeyPageUp},
    {"pagedown", KeyPageDown}, {"w", KeyW},          {"a", KeyA},               {"s", KeyS},
    {"d", KeyD},           {"r", KeyR},
};

std::string lower(const std::string& s) {
    std::string out = s;
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

bool parseInt(const std::string& s, long& value) {
    if (s.empty()) return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtol(s.c_str(), &end, 10);
    return *end == '\0' && errno == 0 && !std::isspace(static_cast<unsigned char>(s[0]));
}

bool parseToken(const std::string& token, headless::Event& event) {
    const std::string t = lower(token);
    for (const KeyName& k : keyNames) {
        if (t == k.name) {
            event = headless::Event{headless::Event::Key, k.key, 0, 0};
            return true;
        }
    }
    if (t.compare(0, 6, "click:") == 0) {
        const std::string rest = t.substr(6);
        const std::size_t comma = rest.find(',');
        long x = 0, y = 0;
        if (comma == std::string::npos || !parseInt(rest.substr(0, comma), x) ||
            !parseInt(rest.substr(comma + 1), y) || x < -100000 || x > 100000 || y < -100000 || y > 100000)
            return false;
        event = headless::Event{headless::Event::Click, 0, static_cast<double>(x), static_cast<double>(y)};
        return true;
    }
    return false;
}

const char* screenName(int state) {
    switch (state) {
        case Title: return "Title";
        case LevelSelect: return "LevelSelect";
        case Playing: return "Playing";
        case Result: return "Result";
        default: return nullptr;
    }
}

const char* outcomeName(int value) {
    switch (value) {
        case Won: return "Won";
        case Lost: return "Lost";
        default: return "InPlay";
    }
}

bool readable(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    std::fclose(f);
    return true;
}

const char* const replayHelp =
    "usage: brimvale-tool replay [--data DIR] [--levels FILE] [--start INDEX] [--png FILE] [EVENT ...]\n"
    "\n"
    "Plays the game headlessly: the game's own start-up and input handlers, driven\n"
    "by scripted keys and clicks, then prints the final state.\n"
    "\n"
    "  --data DIR      folder holding data01.pak, data02.pak and data.lvl\n"
    "                  (default: the data folder of the build or installation)\n"
    "  --levels FILE   a level file to use instead of DIR/data.lvl\n"
    "  --start INDEX   start level INDEX (0-based) and play it at once, as a\n"
    "                  click on its cell in the level list does\n"
    "  --png FILE      write the final screen as an 8-bit RGB PNG\n"
    "\n"
    "EVENT tokens, separated by white space (one argument may hold several):\n"
    "  key names, case-insensitive: Space Enter Escape Left Right Up Down\n"
    "    PageUp PageDown W A S D R\n"
    "  click:X,Y   a left-button press at window pixel X, Y\n"
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
    "Exit status: 0; 2 on an unknown token, an unreadable file or a level index\n"
    "out of range (nothing is reported then).\n";

}  // namespace

bool parseEvents(const std::vector<std::string>& args, std::vector<std::vector<headless::Event>>& groups,
                 std::string& error) {
    for (const std::string& arg : args) {
        std::size_t pos = 0;
        while (pos < arg.size()) {
            while (pos < arg.size() && std::isspace(static_cast<unsigned char>(arg[pos]))) ++pos;
            std::size_t end = pos;
            while (end < arg.size() && !std::isspace(static_cast<unsigned char>(arg[end]))) ++end;
            if (end == pos) break;
            const std::string word = arg.substr(pos, end - pos);
            pos = end;
            std::vector<headless::Event> group;
            std::size_t start = 0;
            while (true) {
                const std::size_t plus = word.find('+', start);
                const std::string token = word.substr(start, plus == std::string::npos ? std::string::npos : plus - start);
                headless::Event event{};
                if (!parseToken(token, event)) {
                    error = "unknown event '" + token + "'";
                    return false;
                }
                group.push_back(event);
                if (plus == std::string::npos) break;
                start = plus + 1;
            }
            groups.push_back(group);
        }
    }
    return true;
}

ReplayResult playGroups(const std::vector<std::vector<headless::Event>>& groups) {
    ReplayResult result;
    try {
        for (const auto& group : groups) {
            for (const headless::Event& e : group) headless::queue().push_back(e);
            drawScreen();
        }
        drawScreen();
    } catch (const platform::Quit& q) {
        result.quit = true;
        result.quitStatus = q.status;
    }
    headless::queue().clear();
    return result;
}

std::string replayReport(bool quit) {
    std::string out;
    char line[256];
    const char* screen = screenName(screenState);
    if (screen)
        std::snprintf(line, sizeof line, "screen %s\n", screen);
    else
        std::snprintf(line, sizeof line, "screen %d\n", screenState);
    out += line;
    std::snprintf(line, sizeof line, "outcome %s\nindex %d\npage %d\nlevels %d\n", outcomeName(outcome), currentLevel,
                  selectPage, levelCount);
    out += line;
    std::snprintf(line, sizeof line, "tank %d %d %d %d %g\n", tankX, tankY, tankDX, tankDY,
                  static_cast<double>(tankAngle));
    out += line;
    const headless::Stats& s = headless::stats();
    std::snprintf(line, sizeof line, "quit %s\nredraws %ld\nframes %ld\npauses %ld\n", quit ? "yes" : "no",
                  s.screenFrames, s.animationFrames, s.pauses);
    out += line;
    const char* names[3] = {"terrain", "objects", "states"};
    for (int layer = 0; layer < 3; ++layer) {
        out += names[layer];
        out += '\n';
        for (int y = 0; y < BoardSize; ++y) {
            for (int x = 0; x < BoardSize; ++x) {
                const Cell& c = board.at(x, y);
                const int v = layer == 0 ? c.terrain : layer == 1 ? c.object : c.state;
                if (x) out += ' ';
                out += std::to_string(v);
            }
            out += '\n';
        }
    }
    return out;
}

bool writeScreenPng(const std::string& path) {
    std::vector<unsigned char> rgb(ScreenBytes);
    for (int i = 0; i < ScreenWidth * ScreenHeight; ++i) {
        rgb[i * 3 + 0] = screenBuffer[i * 3 + 2];
        rgb[i * 3 + 1] = screenBuffer[i * 3 + 1];
        rgb[i * 3 + 2] = screenBuffer[i * 3 + 0];
    }
    return stbi_write_png(path.c_str(), ScreenWidth, ScreenHeight, 3, rgb.data(), ScreenWidth * 3) != 0;
}

std::string defaultDataDir() {
    // An installed tool finds the data beside it; a built one, the build's.
    char self[4096];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n > 0) {
        self[n] = '\0';
        std::string dir(self);
        dir = dir.substr(0, dir.rfind('/'));
        const std::string installed = dir + "/../share/brimvale";
        struct stat st;
        if (stat((installed + "/data01.pak").c_str(), &st) == 0) return installed;
    }
    return BRIMVALE_DATA_BUILD_DIR;
}

int runReplay(int argc, char** argv) {
    ReplayOptions options;
    options.dataDir = defaultDataDir();
    std::vector<std::string> eventArgs;
    for (int i = 0; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "brimvale-tool replay: %s needs a value\n", arg.c_str());
                return false;
            }
            out = argv[++i];
            return true;
        };
        if (arg == "--help" || arg == "-h") {
            std::fputs(replayHelp, stdout);
            return 0;
        } else if (arg == "--data") {
            if (!value(options.dataDir)) return 2;
        } else if (arg == "--levels") {
            if (!value(options.levelFile)) return 2;
        } else if (arg == "--png") {
            if (!value(options.pngFile)) return 2;
        } else if (arg == "--start") {
            std::string text;
            long index = 0;
            if (!value(text)) return 2;
            if (!parseInt(text, index) || index < 0 || index > 1000000000) {
                std::fprintf(stderr, "brimvale-tool replay: bad level index '%s'\n", text.c_str());
                return 2;
            }
            options.start = static_cast<int>(index);
        } else if (arg.size() > 2 && arg.compare(0, 2, "--") == 0) {
            std::fprintf(stderr, "brimvale-tool replay: unknown option '%s'\n", arg.c_str());
            return 2;
        } else {
            eventArgs.push_back(arg);
        }
    }
    std::vector<std::vector<headless::Event>> groups;
    std::string error;
    if (!parseEvents(eventArgs, groups, error)) {
        std::fprintf(stderr, "brimvale-tool replay: %s\n", error.c_str());
        return 2;
    }
    if (options.levelFile.empty()) options.levelFile = options.dataDir + "/data.lvl";
    for (const std::string& file : {options.dataDir + "/data01.pak", options.dataDir + "/data02.pak", options.levelFile}) {
        if (!readable(file)) {
            std::fprintf(stderr, "brimvale-tool replay: cannot read %s\n", file.c_str());
            return 2;
        }
    }

    resetGameState();
    headless::resetStats();
    headless::queue().clear();
    if (!startGame(options.dataDir, options.levelFile)) return 2;
    if (options.start >= levelCount) {
        std::fprintf(stderr, "brimvale-tool replay: level index %d out of range (%d levels)\n", options.start,
                     levelCount);
        return 2;
    }
    ReplayResult result;
    try {
        if (options.start >= 0) {
            startLevel(options.start);
            setScreen(Playing);
        }
    } catch (const platform::Quit& q) {
        result.quit = true;
    }
    if (!result.quit) result = playGroups(groups);
    if (!options.pngFile.empty() && !writeScreenPng(options.pngFile)) {
        std::fprintf(stderr, "brimvale-tool replay: cannot write %s\n", options.pngFile.c_str());
        return 2;
    }
    std::fputs(replayReport(result.quit).c_str(), stdout);
    return 0;
}
