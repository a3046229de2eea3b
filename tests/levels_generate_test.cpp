// Tests of the candidate generator: repeatable, and honest about its counts.
#include <gtest/gtest.h>

#include "tests/support.h"
#include "game/level_text.h"
#include "tools/session/solver.h"

namespace {

const char* const sketch =
    "title Sketch\n"
    "################\n"
    "################\n"
    "################\n"
    "################\n"
    "#####......#####\n"
    "#####......#####\n"
    "#####......#####\n"
    "#####T....G#####\n"
    "################\n"
    "################\n"
    "################\n"
    "################\n"
    "################\n"
    "################\n"
    "################\n"
    "################\n";

std::string generate(const std::string& dir, const std::string& seed) {
    std::string out;
    const std::string command = std::string(BRIMVALE_TOOL) + " levels generate --from " + dir +
                                "/sketch.txt --steps 40 --keep 2 --palette '.#O~' --seed " + seed;
    EXPECT_EQ(testsupport::runCommand(command, &out), 0);
    return out;
}

}  // namespace

TEST(LevelGenerate, SameSeedSameCandidatesAndHonestCounts) {
    const std::string dir = testsupport::tempDir("levels-generate");
    testsupport::writeFile(dir + "/sketch.txt", sketch);
    const std::string first = generate(dir, "7");
    EXPECT_EQ(first, generate(dir, "7"));

    std::vector<leveltext::Level> levels;
    std::vector<leveltext::Diagnostic> diagnostics;
    ASSERT_TRUE(leveltext::parseSource(first, "candidates", levels, diagnostics)) << first;
    ASSERT_FALSE(levels.empty());
    std::vector<leveltext::Level> original;
    ASSERT_TRUE(leveltext::parseSource(sketch, "sketch", original, diagnostics));
    for (const auto& level : levels) {
        const solver::Result r = solver::solveLevel(level.cells.data(), 1, 0, 1000000);
        ASSERT_EQ(r.status, solver::Status::Solved);
        EXPECT_EQ(r.moves(), level.moves);
        // Only ground cells of the sketch change; its walls, tank and goal stay.
        for (int i = 0; i < 256; ++i) {
            if (original[0].cells[i] != 2) {
                EXPECT_EQ(level.cells[i], original[0].cells[i]) << i;
            }
        }
    }
    // The sketch's own shortest win is 6 presses; candidates are never shorter.
    EXPECT_GE(levels[0].moves, 6);
}
