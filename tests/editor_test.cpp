// The level editor driven headlessly as the replay drives it: an editing
// script saved byte for byte, the verdict against the solver, boards that
// cannot be played or won, undo, new levels, pages, titles and test play.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "game/level_text.h"
#include "platform/headless.h"
#include "tests/support.h"
#include "tools/levels/level_files.h"
#include "tools/session/replay.h"
#include "ui/editor.h"
#include "ui/ui_state.h"
#include "ui/window_game.h"

using namespace testsupport;

namespace {

const std::string data = BRIMVALE_DATA_BUILD_DIR;
const std::string source = BRIMVALE_SOURCE_DIR;

std::string line(const std::string& report, const std::string& key) {
    const std::string text = "\n" + report;
    const std::size_t at = text.find("\n" + key + " ");
    return at == std::string::npos ? std::string() : text.substr(at + key.size() + 2, text.find('\n', at + 1) - at - key.size() - 2);
}

// The editor on `file` at level `start`, driven by `events`: its report.
std::string edit(const std::string& file, const std::string& events, int start = 0, bool traps = true) {
    session::ReplaySetup setup;
    setup.dataDir = data;
    setup.levelFile = data + "/data.lvl";
    setup.start = start;
    setup.traps = traps;
    std::vector<session::EventGroup> groups;
    std::string error;
    EXPECT_TRUE(session::parseEvents({events}, groups, error)) << error;
    session::ReplayResult result;
    EXPECT_TRUE(session::playEditorReplay(setup, file, groups, result, error)) << error;
    return session::editorReport(result.quit);
}

std::vector<leveltext::Level> shipped(const std::string& name) {
    std::vector<leveltext::Level> levels;
    std::vector<leveltext::Diagnostic> diagnostics;
    EXPECT_TRUE(leveltext::parseFile(source + "/data/levels/" + name, levels, diagnostics));
    return levels;
}

// Level 1 of the shipped set, alone, as level text in a file of its own.
std::string levelOneFile(const std::string& tag) {
    const std::string file = tempDir(tag) + "/mine.txt";
    writeFile(file, leveltext::formatLevel(shipped("01-first-steps.txt")[0]));
    return file;
}

}  // namespace

// Water clicked onto a wall, a brick wall painted with the cursor, the title
// retyped, saved: the file is the expected one to the byte, with the moves
// the verdict found (which the solver's own run confirms).
TEST(Editor, AnEditingScriptSavesTheExpectedTextByteForByte) {
    const std::string file = levelOneFile("editor-script");
    const std::string report = edit(file,
                                    "char:~ click:180,156 char:% right right right right space "
                                    "f2 backspace backspace backspace backspace text:Ride enter ctrl-s");
    EXPECT_EQ(readFile(file), readFile(source + "/tests/editor/level1-edited.txt"));
    EXPECT_EQ(line(report, "unsaved"), "no");
    EXPECT_EQ(line(report, "title"), "Turn, Then Ride");
    const std::string lvl = tempDir("editor-script") + "/edited.lvl";
    ASSERT_EQ(runTool("levels build " + file + " -o " + lvl).status, 0);
    const ToolRun solved = runTool("solve --data " + data + " --levels " + lvl + " --level 0");
    EXPECT_NE(solved.out.find("solved " + line(report, "moves") + " "), std::string::npos) << solved.out << report;
    EXPECT_EQ(line(report, "verdict"), "wins in " + line(report, "moves") + " presses");
    EXPECT_NE(line(report, "window-title").find("wins in " + line(report, "moves") + " presses"), std::string::npos);
}

// The verdict shown for every shipped level is its optimum (every recorded
// 'moves' is the solver's, as `levels check` proves), read from the files;
// without the traps' exploration, which the other tests cover.
TEST(Editor, TheVerdictOfShippedLevelsIsTheirOptimum) {
    const char* sets[] = {"01-first-steps.txt", "02-shores-and-ruins.txt", "03-channels-and-galleries.txt",
                          "04-masterworks.txt"};
    const auto began = std::chrono::steady_clock::now();
    int checked = 0;
    for (const char* set : sets) {
        const std::vector<leveltext::Level> levels = shipped(set);
        for (int i = 0; i < static_cast<int>(levels.size()); ++i, ++checked) {
            ASSERT_GT(levels[i].moves, 0) << set << " level " << i + 1 << " records no moves";
            const std::string report = edit(source + "/data/levels/" + set, "", i, false);
            EXPECT_EQ(line(report, "verdict"), "wins in " + std::to_string(levels[i].moves) + " presses")
                << set << " level " << i + 1;
            EXPECT_EQ(line(report, "traps"), "");
            EXPECT_EQ(line(report, "unsaved"), "no");
        }
    }
    EXPECT_EQ(checked, static_cast<int>(leveltext::splitRecords(readFile(data + "/data.lvl")).size()))
        << "a level file is missing from the list";
    std::printf("verdicts of %d shipped levels (no traps) in %.1f s\n", checked,
                std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count());
}

// Every text of the panels is drawn whole, wrapped to its width: a real
// level's verdict and traps, then the longest each can be, with a title
// and an idea typed to their limits, in test play, beside a long message.
TEST(Editor, EveryStatusTextFitsItsPanel) {
    const auto joined = [](const editor::View& v) {
        std::string all;
        for (const std::string& row : v.status) {
            EXPECT_LE(row.size(), 42u) << row;
            all += (all.empty() ? "" : " ") + row;
        }
        return all;
    };
    const std::string file = levelOneFile("editor-panel");
    std::string report = edit(file, "");
    EXPECT_EQ(editor::view().cut, 0);
    EXPECT_NE(joined(editor::view()).find("Traps: " + line(report, "traps")), std::string::npos) << report;

    const std::string title(40, 'T');  // six past the limit
    std::string idea;
    while (idea.size() < 150) idea += idea.empty() ? "Ponds" : " and mirrors";  // ten past the limit
    std::string typed = idea;
    for (char& c : typed) c = c == ' ' ? '_' : c;
    std::string erase;
    for (int i = 0; i < 15; ++i) erase += "backspace ";
    report = edit(file, "f2 " + erase + "text:" + title + " enter f3 text:" + typed + " enter char:t right");
    EXPECT_EQ(line(report, "title"), title.substr(0, 34));
    EXPECT_EQ(line(report, "idea"), "A press turns the tank; the next press the same way moves it." + idea.substr(0, 79));
    editor::State& st = ui().editor;
    const std::string longest[][2] = {
        {"no win: all 10,000,000 states searched", "lost after 999 presses at the fewest; 5 of 5 first presses keep a win"},
        {"no answer: over 10,000,000 states", "unknown (over 2,000,000 states)"}};
    for (const auto& texts : longest) {
        st.verdict = texts[0];
        st.traps = texts[1];
        st.message = "cannot write " + std::string(200, 'd') + "/mine.txt.new (No space left on device)";
        editor::frame();
        const editor::View v = editor::view();
        EXPECT_EQ(v.cut, 0) << joined(v);
        const std::string all = joined(v);
        for (const std::string& whole : {std::string("Level 1/1, unsaved, test play: 1 presses"), "Verdict: " + texts[0],
                                         "Traps: " + texts[1], "Title: " + v.current.title})
            EXPECT_NE(all.find(whole), std::string::npos) << whole << " in " << all;
    }
    std::string error;
    EXPECT_TRUE(session::writeEditorPng(tempDir("editor-panel") + "/longest.png", error)) << error;

    // A file's title and idea may be longer than typing allows or the rows
    // hold: typed into, each shows its end and the cursor.
    leveltext::Level level = shipped("01-first-steps.txt")[0];
    level.title = std::string(20, 'a') + std::string(30, 'z');
    level.idea.clear();
    for (int i = 0; i < 40; ++i) level.idea += "ideaword" + std::to_string(i) + " ";
    level.idea += "end";
    writeFile(file, leveltext::formatLevel(level));
    for (const auto& [keys, label, end] : {std::tuple{"f2", "Title: ...", std::string(30, 'z') + "_"},
                                           std::tuple{"f3", "Idea: ...", std::string("end_")}}) {
        edit(file, keys);
        const editor::View v = editor::view();
        const std::vector<std::string>& rows = v.status;
        EXPECT_TRUE(std::any_of(rows.begin(), rows.end(), [&](const std::string& r) { return r.rfind(label, 0) == 0; }))
            << keys << ": " << joined(v);
        EXPECT_TRUE(std::any_of(rows.begin(), rows.end(), [&](const std::string& r) {
            return r.size() >= end.size() && r.compare(r.size() - end.size(), end.size(), end) == 0;
        })) << keys << ": " << joined(v);
    }
}

// A new file starts with one walled room that can be won; boards that
// cannot be played say what is wrong, and one that cannot be won says so
// after searching every state.
TEST(Editor, BoardsThatCannotBePlayedOrWonSaySo) {
    const std::string file = tempDir("editor-unwinnable") + "/new.txt";
    std::string report = edit(file, "");
    EXPECT_EQ(line(report, "level"), "1/1");
    EXPECT_EQ(line(report, "verdict").compare(0, 8, "wins in "), 0) << report;
    EXPECT_NE(line(report, "traps"), "");
    // The goal at (10, 6) becomes ground: no goal; a goal walled in far away.
    report = edit(file, "char:. click:250,150");
    EXPECT_EQ(line(report, "verdict"), "no goal");
    report = edit(file, "char:. click:250,150 char:G click:30,30");
    EXPECT_EQ(line(report, "verdict").compare(0, 8, "no win: "), 0) << report;
    EXPECT_NE(line(report, "verdict").find(" states searched"), std::string::npos);
    report = edit(file, "char:T click:250,150");
    EXPECT_EQ(line(report, "verdict"), "more than one tank start");
    report = edit(file, "char:. click:130,220");
    EXPECT_EQ(line(report, "verdict"), "no tank start");
    // Nothing was saved: the file is the new level as first written.
    EXPECT_EQ(readFile(file).compare(0, 18, "title New Level 1\n"), 0);
    EXPECT_EQ(line(report, "unsaved"), "yes");
}

// U and Ctrl+Z undo a paint, a drag and a new level; N adds a level after
// the one shown; Page Up and Down move between levels; F2 and F3 edit the
// title and the idea (Escape leaves them as they were); a test play wins
// and Escape brings the board back; leaving with unsaved changes asks.
TEST(Editor, UndoNewLevelsPagesTitlesAndTestPlay) {
    const std::string file = levelOneFile("editor-steps");
    std::string report = edit(file, "char:# click:130,130 drag:154,130 drag:178,130 char:u");
    const std::string original = edit(file, "");
    const auto board = [](const std::string& r) { return r.substr(r.find("board\n")); };
    EXPECT_EQ(board(report), board(original)) << "a drag is one step with its click";
    report = edit(file, "char:# click:130,130 drag:154,130 char:O space ctrl-z");
    EXPECT_NE(board(report).find("\n####T##.....####\n"), std::string::npos) << report;
    report = edit(file, "char:n");
    EXPECT_EQ(line(report, "level"), "2/2");
    EXPECT_EQ(line(report, "title"), "New Level 2");
    report = edit(file, "char:n pageup");
    EXPECT_EQ(line(report, "level"), "1/2");
    EXPECT_EQ(line(report, "title"), "Turn, Then Roll");
    report = edit(file, "char:n pageup pagedown pagedown char:U");
    EXPECT_EQ(line(report, "level"), "1/1");
    report = edit(file, "f2 text:_Again enter f3 backspace text:!_Or_not escape");
    EXPECT_EQ(line(report, "title"), "Turn, Then Roll Again");
    EXPECT_EQ(line(report, "idea"), "A press turns the tank; the next press the same way moves it.");
    report = edit(file, "f2 text:_Again enter char:u");
    EXPECT_EQ(line(report, "title"), "Turn, Then Roll");

    // Test play: the level's own win, then back to the board as it was.
    const std::string win = "Right Right Right Right Right Right Right Right Down Down Down Down Down Left Left Left "
                            "Left Left Left Left Left";
    report = edit(file, "char:t " + win);
    EXPECT_EQ(line(report, "test-play"), "yes presses 21 won yes");
    report = edit(file, "char:t " + win + " escape");
    EXPECT_EQ(line(report, "test-play").compare(0, 3, "no "), 0);
    EXPECT_EQ(board(report), board(original));
    EXPECT_EQ(line(report, "message"), "test play won in 21 presses");

    // Leaving: at once when saved, asked first when not.
    EXPECT_EQ(line(edit(file, "escape"), "quit"), "yes");
    report = edit(file, "char:# space escape");
    EXPECT_EQ(line(report, "quit"), "no");
    EXPECT_EQ(line(report, "message"), "unsaved changes: Ctrl+S saves, Escape again leaves");
    EXPECT_EQ(line(edit(file, "char:# space escape escape"), "quit"), "yes");
}

// In the player set, E on the level list puts a copy of the highlighted
// level at the end of the player's own file and edits it in a larger
// picture; leaving goes back to the list in the game's own 384x384.
TEST(Editor, EOnThePlayerSetsLevelListEditsACopyInTheOwnFile) {
    const std::string home = tempDir("editor-own");
    const char* was = std::getenv("XDG_DATA_HOME");
    const std::string saved = was ? was : "";
    setenv("XDG_DATA_HOME", home.c_str(), 1);
    PlayerSet set = session::launcherSet();
    set.editor = true;
    replayInProcess(data, -1, "space right e", set);
    ASSERT_TRUE(editor::active());
    const std::string own = home + "/brimvale/levels/mine.txt";
    EXPECT_EQ(editor::ownLevelFile(), own);
    EXPECT_EQ(readFile(own).compare(0, 26, "title The Long Way Round\n#"), 0) << readFile(own);
    EXPECT_EQ(editor::view().levels, 1);
    int height = 0;
    EXPECT_EQ(headless::pictureSize(height), editor::PictureWidth);
    std::vector<session::EventGroup> groups;
    std::string error;
    ASSERT_TRUE(session::parseEvents({"escape"}, groups, error));
    session::playGroups(groups);
    EXPECT_FALSE(editor::active());
    EXPECT_EQ(game().play.screen, LevelSelect);
    EXPECT_EQ(headless::pictureSize(height), 384);
    EXPECT_EQ(headless::windowTitle().compare(0, 8, "Brimvale"), 0);
    EXPECT_EQ(headless::windowTitle().find("editor"), std::string::npos) << headless::windowTitle();
    // Without the player set the key does nothing.
    replayInProcess(data, -1, "space right e");
    EXPECT_FALSE(editor::active());
    if (was) setenv("XDG_DATA_HOME", saved.c_str(), 1);
    else unsetenv("XDG_DATA_HOME");
}
