// The headless replay: event tokens, their delivery, the report and the PNG.
#include "tools/session/replay.h"

#include <cctype>
#include <cstdio>

#include "game/board.h"
#include "game/play_state.h"
#include "game/levels.h"
#include "start/startup.h"
#include "platform/input.h"
#include "platform/platform.h"
#include "platform/sound.h"
#include "render/screen.h"
#include "tools/common/png_io.h"
#include "common/files.h"
#include "common/numbers.h"
#include "start/headless_start.h"
#include "assets/packs.h"
#include "solver/solver.h"
#include "ui/conveniences.h"
#include "ui/editor.h"
#include "ui/guide_play.h"
#include "ui/input.h"
#include "ui/player_set.h"
#include "ui/screens.h"
#include "ui/window_game.h"

namespace session {

namespace {

std::string lower(const std::string& s) {
    std::string out = s;
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// A click coordinate: a whole number within the window system's reach.
bool parseCoordinate(const std::string& text, long long& value) {
    return common::parseWhole(text, -100000, 100000, value);
}

// A character for char: (one, or a name: plus, space).
bool parseCharacter(const std::string& text, int& c) {
    if (text == "plus") c = '+';
    else if (text == "space") c = ' ';
    else if (text.size() == 1 && text[0] > ' ' && text[0] < 127) c = static_cast<unsigned char>(text[0]);
    else return false;
    return true;
}

bool parseToken(const std::string& token, headless::Event& event) {
    if (token.compare(0, 5, "char:") == 0) {
        int c = 0;
        if (!parseCharacter(token.substr(5), c)) return false;
        event = headless::Event{headless::Event::Char, c, 0, 0};
        return true;
    }
    const std::string t = lower(token);
    const Key key = platform::keyFromName(t.c_str());
    if (key != KeyOther) {
        event = headless::Event{headless::Event::Key, key, 0, 0};
        return true;
    }
    const bool drag = t.compare(0, 5, "drag:") == 0;
    if (t.compare(0, 6, "click:") == 0 || drag) {
        const std::string rest = t.substr(drag ? 5 : 6);
        const std::size_t comma = rest.find(',');
        long long x = 0, y = 0;
        if (comma == std::string::npos || !parseCoordinate(rest.substr(0, comma), x) ||
            !parseCoordinate(rest.substr(comma + 1), y))
            return false;
        event = headless::Event{drag ? headless::Event::Drag : headless::Event::Click, 0, static_cast<double>(x),
                                static_cast<double>(y)};
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

}  // namespace

bool parseEvents(const std::vector<std::string>& args, std::vector<EventGroup>& groups, std::string& error) {
    for (const std::string& arg : args) {
        std::size_t pos = 0;
        while (pos < arg.size()) {
            while (pos < arg.size() && std::isspace(static_cast<unsigned char>(arg[pos]))) ++pos;
            std::size_t end = pos;
            while (end < arg.size() && !std::isspace(static_cast<unsigned char>(arg[end]))) ++end;
            if (end == pos) break;
            const std::string word = arg.substr(pos, end - pos);
            pos = end;
            EventGroup group;
            // text:WORDS types each character ('_' a space), one group.
            if (word.compare(0, 5, "text:") == 0) {
                for (std::size_t i = 5; i < word.size(); ++i)
                    group.push_back(headless::Event{headless::Event::Char, word[i] == '_' ? ' ' : word[i], 0, 0});
                groups.push_back(group);
                continue;
            }
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

PlayerSet launcherSet() {
    PlayerSet set;
    set.undo = set.counter = set.sound = set.guide = set.steadyInput = true;
    return set;
}

void useLauncherSet(PlayerSet& set) {
    PlayerSet launcher = launcherSet();
    launcher.save = set.save;
    launcher.progressFile = set.progressFile;
    set = launcher;
}

bool readEventFile(const std::string& path, std::vector<std::string>& tokens, ReplaySetup& setup, std::string& error) {
    std::string bytes;
    if (!common::readFile(path, bytes, error)) return false;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        std::size_t end = bytes.find('\n', pos);
        if (end == std::string::npos) end = bytes.size();
        const std::string line = bytes.substr(pos, end - pos);
        pos = end + 1;
        if (line.compare(0, 9, "# options") == 0) {
            std::vector<std::string> words;
            std::size_t w = 9;
            while (w < line.size()) {
                while (w < line.size() && line[w] == ' ') ++w;
                std::size_t e = w;
                while (e < line.size() && line[e] != ' ') ++e;
                if (e > w) words.push_back(line.substr(w, e - w));
                w = e;
            }
            for (std::size_t i = 0; i < words.size(); ++i) {
                const std::string& o = words[i];
                if (o == "--player") useLauncherSet(setup.set);
                for (const auto& [name, flag] : {std::pair{"undo", &PlayerSet::undo}, std::pair{"counter", &PlayerSet::counter},
                                                 std::pair{"guide", &PlayerSet::guide}, std::pair{"sound", &PlayerSet::sound}}) {
                    if (o == std::string("--") + name) setup.set.*flag = true;
                    if (o == std::string("--no-") + name) setup.set.*flag = false;
                }
                if (o == "--mute") setup.set.muted = true;
                long long level = 0;
                if (o == "--level" && i + 1 < words.size() && common::parseWhole(words[i + 1], 1, 65536, level) &&
                    setup.start < 0)
                    setup.start = static_cast<int>(level - 1);
            }
            continue;
        }
        if (!line.empty() && line[0] == '#') continue;
        tokens.push_back(line);
    }
    return true;
}

bool playReplay(const ReplaySetup& setup, const std::vector<EventGroup>& groups, ReplayResult& result,
                std::string& error) {
    if (!startGameFromFiles(setup.dataDir, setup.levelFile, error)) return false;
    playerSet() = setup.set;
    if (playerSet().guide) {
        std::string warning;
        loadPlayerPack(setup.dataDir, warning);  // without it the guide draws nothing
        solver::connectHints();
    }
    startConveniences(setup.levelFile, setup.dataDir + "/data.par");
    if (setup.start >= game().levels.count) {
        error = "level index " + std::to_string(setup.start) + " out of range (" + std::to_string(game().levels.count) +
                " levels)";
        return false;
    }
    result = ReplayResult();
    if (setup.sounds) {
        playerSet().sound = true;
        std::string warning;
        startSound(setup.dataDir, warning);  // the counting sound reads no file
    }
    try {
        if (setup.start >= 0) enterLevel(setup.start);
    } catch (const platform::Quit& q) {
        result.quit = true;
        result.quitStatus = q.status;
        return true;
    }
    result = playGroups(groups);
    return true;
}

ReplayResult playGroups(const std::vector<EventGroup>& groups) {
    ReplayResult result;
    try {
        // With the guide on, a search or playback a group starts is run to
        // its end before the next group, as if the player waited for it.
        for (const auto& group : groups) {
            for (const headless::Event& e : group) headless::queue().push_back(e);
            drawScreen();
            if (playerSet().guide) guide::settle();
        }
        drawScreen();
    } catch (const platform::Quit& q) {
        result.quit = true;
        result.quitStatus = q.status;
    }
    headless::queue().clear();
    return result;
}

bool playEditorReplay(const ReplaySetup& setup, const std::string& file, const std::vector<EventGroup>& groups,
                      ReplayResult& result, std::string& error) {
    if (!startGameFromFiles(setup.dataDir, setup.levelFile, error)) return false;
    playerSet() = setup.set;
    std::string warning;
    loadPlayerPack(setup.dataDir, warning);  // without it the panels show no text
    solver::connectHints();
    if (!editor::open(file, setup.start < 0 ? 0 : setup.start, error, setup.traps)) return false;
    result = ReplayResult();
    try {
        editor::settle();
        for (const auto& group : groups) {
            for (const headless::Event& e : group) headless::queue().push_back(e);
            editor::frame();
            editor::settle();
        }
        editor::frame();
    } catch (const platform::Quit& q) {
        result.quit = true;
        result.quitStatus = q.status;
    }
    headless::queue().clear();
    return true;
}

std::string editorReport(bool quit) {
    const editor::View v = editor::view();
    std::string out = "editor " + v.file + "\n";
    out += "level " + std::to_string(v.level + 1) + "/" + std::to_string(v.levels) + "\n";
    out += "title " + v.current.title + "\nidea " + v.current.idea + "\n";
    out += "verdict " + v.verdict + "\nmoves " + std::to_string(v.moves) + "\n";
    out += "traps " + v.traps + "\n";
    out += std::string("unsaved ") + (v.unsaved ? "yes" : "no") + "\n";
    out += std::string("test-play ") + (v.testing ? "yes" : "no") + " presses " + std::to_string(v.testPresses) +
           " won " + (v.testWon ? "yes" : "no") + "\n";
    out += "chosen " + std::string(1, leveltext::glyphFor(static_cast<std::uint8_t>(v.chosen))) + "\n";
    out += "cursor " + std::to_string(v.cursorX) + " " + std::to_string(v.cursorY) + "\n";
    out += "message " + v.message + "\n";
    out += "window-title " + v.title + "\n";
    out += std::string("quit ") + (quit ? "yes" : "no") + "\n";
    out += "board\n";
    for (int y = 0; y < BoardSize; ++y) {
        for (int x = 0; x < BoardSize; ++x) {
            const char g = leveltext::glyphFor(v.current.cells[static_cast<std::size_t>(y * BoardSize + x)]);
            out += g ? g : '?';
        }
        out += '\n';
    }
    return out;
}

bool writeEditorPng(const std::string& path, std::string& error) {
    const std::vector<std::uint8_t>& picture = editor::picture();
    if (picture.empty()) {
        error = "the editor drew nothing";
        return false;
    }
    return art::writeBgrPng(path, editor::PictureWidth, editor::PictureHeight, 3, picture.data(), error);
}

std::string replayReport(bool quit) {
    std::string out;
    char line[256];
    const char* screen = screenName(game().play.screen);
    if (screen)
        std::snprintf(line, sizeof line, "screen %s\n", screen);
    else
        std::snprintf(line, sizeof line, "screen %d\n", game().play.screen);
    out += line;
    std::snprintf(line, sizeof line, "outcome %s\nindex %d\npage %d\nlevels %d\n", outcomeName(game().play.outcome), game().play.level,
                  game().play.page, game().levels.count);
    out += line;
    std::snprintf(line, sizeof line, "tank %d %d %d %d %g\n", game().play.tank.x, game().play.tank.y, game().play.tank.dx, game().play.tank.dy,
                  static_cast<double>(game().play.tank.angle));
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
                const Cell& c = game().play.board.at(x, y);
                const int v = layer == 0 ? c.terrain : layer == 1 ? c.object : c.state;
                if (x) out += ' ';
                out += std::to_string(v);
            }
            out += '\n';
        }
    }
    if (playerSet().guide) out += "watched-wins " + std::to_string(guide::watchedWins()) + "\n";
    if (playerSet().counter || playerSet().guide) {
        const std::string& title = headless::windowTitle();
        out += "title " + (title.empty() ? counterTitle() : title) + "\n";
    }
    return out;
}

std::string soundReport() {
    std::string out = "sounds";
    for (int effect : headless::stats().sounds) {
        out += ' ';
        out += sound::effectName(effect);
    }
    return out + "\n";
}

bool writeScreenPng(const std::string& path, std::string& error) {
    return art::writeBgrPng(path, ScreenWidth, ScreenHeight, 3, display().buffer, error);
}

}  // namespace session

