// The input storm: 100,000 seeded random keys, clicks, groups and quits
// through the headless game, on random level files and random or plausible
// packs, with drawing off and on. It must end without a fault, and the play
// state must stay one the game can be in.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>

#include "assets/packs.h"
#include "game/board.h"
#include "game/levels.h"
#include "game/play_state.h"
#include "platform/headless.h"
#include "platform/platform.h"
#include "render/screen.h"
#include "tests/support.h"
#include "tools/session/headless_start.h"
#include "ui/conveniences.h"
#include "ui/layout.h"
#include "ui/player_set.h"
#include "ui/progress.h"
#include "ui/screens.h"
#include "ui/window_game.h"

using namespace testsupport;

namespace {

// A small fixed generator, the same sequence on every machine.
struct Rng {
    std::uint64_t state;
    std::uint32_t next() {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<std::uint32_t>(state >> 33);
    }
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint32_t>(n)); }
};

// 1 to 70 records, each random bytes or a plausible room (known codes,
// mostly ground, a tank start), then a few stray bytes.
std::string randomLevelFile(Rng& rng) {
    std::string bytes;
    const int count = 1 + rng.below(rng.below(4) == 0 ? 70 : 8);
    for (int i = 0; i < count; ++i) {
        const bool plausible = rng.below(3) != 0;
        for (int cell = 0; cell < 256; ++cell) {
            const int code = plausible ? (rng.below(2) ? Ground : rng.below(26)) : rng.below(256);
            bytes.push_back(static_cast<char>(code));
        }
        if (plausible) bytes[bytes.size() - 256 + rng.below(256)] = static_cast<char>(TankStart);
    }
    for (int stray = rng.below(3) == 0 ? rng.below(255) : 0; stray > 0; --stray)
        bytes.push_back(static_cast<char>(rng.below(256)));
    return bytes;
}

// Both packs: the synthetic pictures, random bytes, either cut short, or
// nothing at all.
void writeRandomPacks(Rng& rng, const std::string& dir) {
    static const std::array<std::string, 2> whole = [] {
        const std::string base = tempDir("storm-packs");
        writeSyntheticPacks(base);
        return std::array<std::string, 2>{readFile(base + "/data01.pak"), readFile(base + "/data02.pak")};
    }();
    for (int pack = 1; pack <= 2; ++pack) {
        std::string bytes = whole[pack - 1];
        switch (rng.below(6)) {
            case 0:
                for (char& c : bytes) c = static_cast<char>(rng.next() >> 7);
                break;
            case 1: bytes.resize(rng.below(static_cast<int>(bytes.size()))); break;
            case 2: bytes.clear(); break;
            default: break;  // the synthetic pack, whole
        }
        writeFile(dir + (pack == 1 ? "/data01.pak" : "/data02.pak"), bytes);
    }
}

const int stormKeys[] = {KeySpace, KeyEnter, KeyEscape, KeyLeft, KeyRight, KeyUp,     KeyDown,
                         KeyPageUp, KeyPageDown, KeyW, KeyA, KeyS, KeyD, KeyR, KeyOther, 'Q'};

// A click on a button, a level cell or a page arrow, on its edge or inside,
// or anywhere near the window.
headless::Event randomClick(Rng& rng) {
    using namespace layout;
    const Rect regions[] = {GameButton, ExitButton, PageUpArrow, PageDownArrow, ContinueButton, RestartButton,
                            LevelsButton, Rect{levelCellX(rng.below(30)), levelCellY(rng.below(30)), 51, 50}};
    int x = rng.below(500) - 60, y = rng.below(500) - 60;
    if (rng.below(3) != 0) {
        const Rect& r = regions[rng.below(8)];
        x = r.x + rng.below(r.width + 1);
        y = r.y + rng.below(r.height + 1);
    }
    const int button = rng.below(8) == 0 ? 1 + rng.below(2) : 0;
    return headless::Event{headless::Event::Click, 0, double(x), double(y), rng.below(10) == 0 ? 0 : 1, button};
}

// One group as a window system could deliver it between two polls: a key,
// a click, a quit (Escape four times: out of any screen, and off the title),
// or several of them at once.
// With `undoKeys`, one key in six is U or Backspace.
int queueRandomGroup(Rng& rng, bool undoKeys) {
    int sent = 0;
    const int size = rng.below(5) == 0 ? 2 + rng.below(6) : 1;
    for (int i = 0; i < size; ++i, ++sent) {
        if (undoKeys && rng.below(6) == 0) {
            headless::queueKey(rng.below(2) ? KeyU : KeyBackspace);
            continue;
        }
        const int what = rng.below(100);
        if (what == 0 && rng.below(5) == 0) {
            for (int n = 0; n < 4; ++n) headless::queueKey(KeyEscape);
        } else if (what < 30) {
            headless::queue().push_back(randomClick(rng));
        } else {
            const int action = rng.below(12) == 0 ? rng.below(3) : 1;
            headless::queueKey(stormKeys[rng.below(16)], action);
        }
    }
    return sent;
}

void expectPlayableState() {
    ASSERT_TRUE(game().play.screen == Title || game().play.screen == LevelSelect || game().play.screen == Playing || game().play.screen == Result);
    ASSERT_GE(game().play.level, 0);
    ASSERT_LT(game().play.level, game().levels.count);
    ASSERT_TRUE(onBoard(game().play.tank.x, game().play.tank.y)) << game().play.tank.x << " " << game().play.tank.y;
}

// One setup: random files, then play from them until `budget` events are
// sent, starting again from the same files after each quit. Returns the
// quits.
int playSetup(Rng& rng, const std::string& dir, bool drawing, long budget, long& events,
              const PlayerSet& set = PlayerSet{}) {
    writeRandomPacks(rng, dir);
    writeFile(dir + "/data.lvl", randomLevelFile(rng));
    int quits = 0;
    for (long sent = 0; sent < budget;) {
        std::string error;
        EXPECT_TRUE(session::startGameFromFiles(dir, dir + "/data.lvl", error)) << error;
        display().drawing = drawing;
        playerSet() = set;
        startConveniences(dir + "/data.lvl", "");
        try {
            while (sent < budget) {
                const int n = queueRandomGroup(rng, set.undo);
                sent += n;
                events += n;
                drawScreen();
                expectPlayableState();
                if (testing::Test::HasFatalFailure()) return quits;
            }
        } catch (const platform::Quit& q) {
            EXPECT_EQ(q.status, 0);
            ++quits;
        }
    }
    return quits;
}

}  // namespace

TEST(InputStorm, HundredThousandEventsOnRandomLevelsAndPacks) {
    Rng rng{20240611};
    const std::string dir = tempDir("storm");
    long events = 0;
    int quits = 0, drawnSetups = 0;
    while (events < 100000 && !HasFatalFailure()) {
        // Drawing is slow under the sanitizers: one setup in four, shorter.
        const bool drawing = rng.below(4) == 0;
        drawnSetups += drawing;
        const long budget = std::min(100000 - events, drawing ? 300L + rng.below(300) : 2000L + rng.below(3000));
        quits += playSetup(rng, dir, drawing, budget, events);
    }
    EXPECT_GE(quits, 10);
    EXPECT_GE(drawnSetups, 5);
    RecordProperty("quits", quits);
    RecordProperty("drawn_setups", drawnSetups);
}

// The same storm with undo, the counter and saved progress on: every state
// stays playable and the progress file stays one the game reads back.
TEST(InputStorm, ThirtyThousandEventsWithThePlayerSet) {
    Rng rng{20261209};
    const std::string dir = tempDir("storm-player");
    PlayerSet set;
    set.undo = set.counter = set.save = true;
    set.progressFile = dir + "/progress/progress.txt";
    long events = 0;
    while (events < 30000 && !HasFatalFailure()) {
        const bool drawing = rng.below(4) == 0;
        const long budget = std::min(30000 - events, drawing ? 300L + rng.below(300) : 2000L + rng.below(3000));
        playSetup(rng, dir, drawing, budget, events, set);
    }
    std::string warning;
    EXPECT_NE(readFile(set.progressFile).find("\nlast "), std::string::npos);
    EXPECT_EQ(progress::load(set.progressFile, dir + "/data.lvl", warning), progress::LoadResult::Loaded) << warning;
}
