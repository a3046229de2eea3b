// Tests of the shipped level set.
// Every level compiles, differs from the others, has a title and one tank
// start, solves in exactly its recorded press count, and that solution wins
// when played through the game's own input.
#include <dirent.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <set>

#include "game/cell_kinds.h"
#include "tests/support.h"
#include "tools/levels/level_stats.h"
#include "tools/levels/level_files.h"
#include "solver/mechanics.h"
#include "solver/solver.h"

namespace {

#if defined(__SANITIZE_ADDRESS__)
// Under the sanitizer the search is many times slower: the largest levels
// are left to the ordinary build.
constexpr std::uint64_t stateBudget = 400000;
#else
constexpr std::uint64_t stateBudget = 20000000;
#endif

const std::string levelDir = std::string(BRIMVALE_SOURCE_DIR) + "/data/levels";

std::vector<std::string> sourceFiles() {
    std::vector<std::string> files;
    if (DIR* dir = opendir(levelDir.c_str())) {
        while (dirent* e = readdir(dir)) {
            const std::string name = e->d_name;
            if (name.size() > 4 && name.compare(name.size() - 4, 4, ".txt") == 0) files.push_back(levelDir + "/" + name);
        }
        closedir(dir);
    }
    std::sort(files.begin(), files.end());
    return files;
}

struct Shipped {
    std::vector<leveltext::Level> levels;
    std::vector<leveltext::Diagnostic> diagnostics;
    bool ok = true;
    std::string bytes;  // the compiled level file
};

const Shipped& shipped() {
    static const Shipped set = [] {
        Shipped s;
        for (const std::string& f : sourceFiles()) s.ok = leveltext::parseFile(f, s.levels, s.diagnostics) && s.ok;
        s.bytes = leveltext::compileLevels(s.levels);
        return s;
    }();
    return set;
}

}  // namespace

TEST(ShippedLevels, CompileCleanly) {
    const Shipped& s = shipped();
    EXPECT_TRUE(s.ok);
    for (const auto& d : s.diagnostics) ADD_FAILURE() << d.text();
    EXPECT_GE(s.levels.size(), 90u);
}

TEST(ShippedLevels, EachIsItsOwnWithTitleMovesAndOneTankStart) {
    std::set<leveltext::Record> boards;
    std::set<std::string> titles;
    for (const auto& l : shipped().levels) {
        SCOPED_TRACE(l.file + ":" + std::to_string(l.line) + " " + l.title);
        EXPECT_TRUE(boards.insert(l.cells).second) << "the same board as an earlier level";
        EXPECT_TRUE(titles.insert(l.title).second) << "the same title as an earlier level";
        EXPECT_GT(l.moves, 0) << "no recorded press count";
        EXPECT_EQ(std::count(l.cells.begin(), l.cells.end(), 10), 1);
        EXPECT_EQ(std::count(l.cells.begin(), l.cells.end(), 11), 1) << "one goal";
        for (std::uint8_t code : l.cells) EXPECT_LT(code, CellKindCount) << "codes the game does not use";
        // A solid frame: nothing reaches the board's edge but wall.
        for (int i = 0; i < 16; ++i) {
            EXPECT_EQ(l.cells[i], 4);
            EXPECT_EQ(l.cells[15 * 16 + i], 4);
            EXPECT_EQ(l.cells[i * 16], 4);
            EXPECT_EQ(l.cells[i * 16 + 15], 4);
        }
    }
}

TEST(ShippedLevels, PagesClimbInPresses) {
    // The recorded counts are proven by the solving test below; the climb
    // in the solver's search is checked there too.
    const levelstats::Figures f = levelstats::measure(shipped().levels);
    ASSERT_GE(f.pages.size(), 3u);
    for (std::size_t p = 1; p < f.pages.size(); ++p) {
        if (f.pages[p].count < levelstats::PageSize) break;
        EXPECT_GT(f.pages[p].medianMoves, f.pages[p - 1].medianMoves) << "page " << p + 1;
    }
    const levelstats::Page& last = f.pages[2];
    EXPECT_GE(last.medianMoves, 40);
    EXPECT_GE(last.traps, 10) << "levels of the last page that an early move loses for good";
}

TEST(ShippedLevels, BoardsAreTheirOwn) {
    // No board shares more than 70 % of its cells (those not wall in either)
    // with another.
    const auto& levels = shipped().levels;
    const int end = static_cast<int>(levels.size());
    for (int i = 0; i < end; ++i)
        for (int j = i + 1; j < end; ++j)
            EXPECT_LE(levelstats::boardOverlap(levels[i].cells, levels[j].cells), 0.70)
                << levels[i].title << " and " << levels[j].title;
}

TEST(ShippedLevels, TheLastPageNeedsEveryMechanic) {
    // Needs lines are proven below; here the last page names each group in
    // enough levels, counted as the level tool's verdict counts them.
    const std::vector<leveltext::Level>& levels = shipped().levels;
    ASSERT_GE(levels.size(), 3u * levelstats::PageSize);
    const levelstats::Page last = levelstats::measure(levels).pages[2];
    for (int g = 0; g < levelstats::GroupCount; ++g)
        EXPECT_GE(last.needsGroup[g], levelstats::LastPageNeedsAtLeast)
            << "page 3 levels that need " << levelstats::lastPageGroups[g].name;
}

TEST(ShippedLevels, EachNeedsLineIsProven) {
    // With a mechanic its needs line names forbidden, no win in its count.
    const Shipped& s = shipped();
    int named = 0;
    for (int index = 0; index < static_cast<int>(s.levels.size()); ++index) {
        const leveltext::Level& level = s.levels[index];
        if (index >= levelstats::TeachingLevels && level.needs) ++named;
        for (int k = 0; k < mechanics::Count; ++k) {
            if (!(level.needs & (1u << k))) continue;
            SCOPED_TRACE(level.title + " needs " + mechanics::word(k));
            solver::Limits limits;
            limits.maxStates = stateBudget;
            limits.forbid = static_cast<std::uint16_t>(1u << k);
            limits.maxPresses = level.moves;
            const solver::Result r = solver::solveLevel(reinterpret_cast<const std::uint8_t*>(s.bytes.data()),
                                                        static_cast<int>(s.levels.size()), index, limits);
            EXPECT_TRUE(r.error.empty()) << r.error;
            if (r.status == solver::Status::Unknown && stateBudget < 20000000) continue;
            EXPECT_EQ(r.status, solver::Status::Unsolvable) << solver::tokens(r.path);
        }
    }
    EXPECT_GE(named, 78) << "levels from 11 on with a needs line";
}

TEST(ShippedLevels, FromLevelElevenOnTheFloorIsInPlay) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the exploration is left to the ordinary build";
#endif
    // A capped exploration finds less of the floor in play than a full one:
    // dead floor within the bound below is within it for good.
    const Shipped& s = shipped();
    for (int index = levelstats::TeachingLevels; index < static_cast<int>(s.levels.size()); ++index) {
        SCOPED_TRACE(s.levels[index].title);
        solver::Result none;
        levelstats::LevelFigures f =
            levelstats::measureLevel(s.bytes, static_cast<int>(s.levels.size()), index, none, 300000);
        if (f.deadFloorShare > 0.20 && f.reach.capped)  // a closer bound for the largest levels
            f = levelstats::measureLevel(s.bytes, static_cast<int>(s.levels.size()), index, none,
                                         levelstats::DefaultExploreStates);
        EXPECT_TRUE(f.reach.error.empty()) << f.reach.error;
        EXPECT_LE(f.deadFloorShare, 0.20) << f.deadFloor << " of " << f.floor << " floor cells";
    }
}

TEST(ShippedLevels, EachTrapLosesItsLevelForGood) {
    const Shipped& s = shipped();
    for (int index = 0; index < static_cast<int>(s.levels.size()); ++index) {
        const leveltext::Level& level = s.levels[index];
        if (level.trap.empty()) continue;
        SCOPED_TRACE(level.title + ": trap " + leveltext::pressWords(level.trap));
        const solver::Result r = solver::solveAfter(reinterpret_cast<const std::uint8_t*>(s.bytes.data()),
                                                    static_cast<int>(s.levels.size()), index, level.trap, stateBudget);
        EXPECT_TRUE(r.error.empty()) << r.error;
        if (r.status == solver::Status::Unknown && stateBudget < 20000000) continue;
        EXPECT_EQ(r.status, solver::Status::Unsolvable);
    }
}

TEST(ShippedLevels, TheCompiledFileMatchesTheBuildOutput) {
    // When the build has made data.lvl, it holds exactly the sources' levels.
    const std::string built = std::string(BRIMVALE_DATA_BUILD_DIR) + "/data.lvl";
    if (!std::filesystem::exists(built)) GTEST_SKIP() << "data.lvl not built";
    EXPECT_EQ(testsupport::readFile(built), shipped().bytes);
}

TEST(ShippedLevels, DumpAndBuildGiveTheSameBytes) {
    const auto records = leveltext::splitRecords(shipped().bytes);
    std::vector<leveltext::Level> again;
    std::vector<leveltext::Diagnostic> diagnostics;
    ASSERT_TRUE(leveltext::parseSource(leveltext::dumpRecords(records, "data.lvl"), "dump", again, diagnostics));
    std::vector<leveltext::Record> rebuilt;
    for (const auto& l : again) rebuilt.push_back(l.cells);
    EXPECT_EQ(leveltext::joinRecords(rebuilt), shipped().bytes);
}

TEST(ShippedLevels, EachSolvesInItsRecordedCountAndTheSolutionWins) {
    const Shipped& s = shipped();
    std::vector<testsupport::Record> records;
    for (const auto& l : s.levels) records.push_back(l.cells);
    const std::string dir = testsupport::makeDataDir("shipped-levels", records);
    int skipped = 0;
    std::vector<levelstats::LevelFigures> figures;
    const auto started = std::chrono::steady_clock::now();
    for (int index = 0; index < static_cast<int>(s.levels.size()); ++index) {
        const leveltext::Level& level = s.levels[index];
        SCOPED_TRACE(level.file + ":" + std::to_string(level.line) + " " + level.title);
        const solver::Result r = solver::solveLevel(reinterpret_cast<const std::uint8_t*>(s.bytes.data()),
                                                    static_cast<int>(s.levels.size()), index, stateBudget);
        EXPECT_TRUE(r.error.empty()) << r.error;
        if (r.status == solver::Status::Unknown && stateBudget < 20000000) {
            ++skipped;  // too large for this build
            continue;
        }
        ASSERT_EQ(r.status, solver::Status::Solved);
        EXPECT_EQ(r.moves(), level.moves);
        // The solution's walking share, without exploring the level.
        figures.push_back(levelstats::measureLevel(s.bytes, static_cast<int>(s.levels.size()), index, r, 1));

        // The solution played as keys through the game's start-up and handlers.
        const std::string moves = solver::tokens(r.path);
        const std::string report = testsupport::replayInProcess(dir, index, moves);
        EXPECT_NE(report.find("outcome Won"), std::string::npos) << moves << "\n" << report;
        // One press short of the end, the level is still in play.
        const std::string shorter = solver::tokens(std::vector<std::uint8_t>(r.path.begin(), r.path.end() - 1));
        const std::string before = testsupport::replayInProcess(dir, index, shorter);
        EXPECT_NE(before.find("outcome InPlay"), std::string::npos) << before;
    }
    if (skipped) {
        std::printf("%d levels too large to solve in this build were left out\n", skipped);
        return;
    }
    // Each page is deeper than the one before, the last two more doing than
    // walking, and from level 11 on each page runs from the smallest search to
    // the largest.
    std::printf("%zu levels solved and replayed in %.1f s\n", s.levels.size(),
                std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
    const levelstats::Figures f = levelstats::measure(s.levels, &figures);
    ASSERT_GE(f.pages.size(), 3u);
    EXPECT_GE(f.pages[0].medianStates, 500);
    EXPECT_GE(f.pages[1].medianStates, 10000);
    EXPECT_GE(f.pages[2].medianStates, 200000);
    EXPECT_LE(f.pages[1].medianWalking, 0.70);
    EXPECT_LE(f.pages[2].medianWalking, 0.70);
    std::printf("page medians of states to the optimum: %.0f, %.0f, %.0f; walking %.2f, %.2f, %.2f\n",
                f.pages[0].medianStates, f.pages[1].medianStates, f.pages[2].medianStates,
                f.pages[0].medianWalking, f.pages[1].medianWalking, f.pages[2].medianWalking);
    for (std::size_t p = 0; p < 3; ++p) {
        for (int i = std::max(f.pages[p].first, levelstats::TeachingLevels) + 1;
             i < f.pages[p].first + f.pages[p].count; ++i)
            EXPECT_LE(figures[i - 1].statesToOptimum, figures[i].statesToOptimum) << "level " << i + 1;
    }
}
