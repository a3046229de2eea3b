// Controllers: the button table, the events held buttons make (repeat,
// several controllers, unplugging), and the shipped first level won and
// every screen gone through by scripted controller states alone.
#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <initializer_list>
#include <set>
#include <vector>

#include "game/levels.h"
#include "game/play_state.h"
#include "platform/gamepad.h"
#include "platform/headless.h"
#include "platform/platform.h"
#include "start/headless_start.h"
#include "ui/player_set.h"
#include "ui/screens.h"
#include "ui/window_game.h"

using namespace platform::gamepad;

namespace {

State holding(std::initializer_list<Button> buttons, float x = 0, float y = 0) {
    State s;
    for (Button b : buttons) s.pressed[b] = true;
    s.stickX = x;
    s.stickY = y;
    return s;
}

// The events of one update, as "key:action" pairs.
std::vector<std::pair<int, int>> step(Reader& reader, std::vector<State> pads, double now) {
    std::deque<platform::Event> queue;
    reader.update(pads.data(), static_cast<int>(pads.size()), now, queue);
    std::vector<std::pair<int, int>> out;
    for (const platform::Event& e : queue) {
        EXPECT_EQ(e.kind, platform::Event::Key);
        out.emplace_back(e.key, e.action);
    }
    return out;
}

using Events = std::vector<std::pair<int, int>>;

}  // namespace

TEST(Gamepad, OneRowPerButtonEachWithItsKey) {
    std::set<int> glfw, standard;
    for (int b = 0; b < ButtonCount; ++b) {
        EXPECT_EQ(table[b].button, b) << table[b].name;
        glfw.insert(table[b].glfwIndex);
        standard.insert(table[b].standardIndex);
        EXPECT_EQ(table[b].repeats, b == Up || b == Down || b == Left || b == Right) << table[b].name;
    }
    EXPECT_EQ(glfw.size(), std::size_t(ButtonCount));
    EXPECT_EQ(standard.size(), std::size_t(ButtonCount));
    const std::pair<Button, int> keys[] = {{A, KeySpace},   {B, KeyEscape},       {X, KeyU},
                                           {Y, KeyOther},   {Start, KeyEnter},    {LeftBumper, KeyPageUp},
                                           {RightBumper, KeyPageDown}, {Up, KeyUp}, {Down, KeyDown},
                                           {Left, KeyLeft}, {Right, KeyRight}};
    for (const auto& k : keys) EXPECT_EQ(table[k.first].key, k.second) << table[k.first].name;
    // GLFW's D-pad runs up, right, down, left; the standard layout up, down, left, right.
    EXPECT_EQ(table[Right].glfwIndex, 12);
    EXPECT_EQ(table[Right].standardIndex, 15);
    EXPECT_EQ(table[Start].glfwIndex, 7);
    EXPECT_EQ(table[Start].standardIndex, 9);
}

TEST(Gamepad, TheStickLeansToItsLargerAxis) {
    const struct {
        float x, y;
        int direction;  // -1: none
    } cases[] = {{0.6f, 0, Right}, {-0.5f, 0.2f, Left}, {0.6f, -0.7f, Up}, {-0.3f, 0.9f, Down},
                 {0.49f, 0.49f, -1}, {0, 0, -1}, {0.7f, 0.7f, Right}};
    for (const auto& c : cases) {
        bool out[ButtonCount];
        held(holding({}, c.x, c.y), out);
        for (int b : {Up, Down, Left, Right}) EXPECT_EQ(out[b], b == c.direction) << c.x << "," << c.y << " " << b;
    }
    bool out[ButtonCount];
    held(holding({Left}, 0.9f, 0), out);  // the D-pad and the stick both count
    EXPECT_TRUE(out[Left] && out[Right]);
}

TEST(Gamepad, PressRepeatAndReleaseAtTheKeyboardsRate) {
    Reader reader;
    EXPECT_EQ(reader.repeatRate().delayMillis, 500);
    reader.setRepeatRate(RepeatRate{200, 40});
    const int press = 1, repeat = 2, release = 0;
    EXPECT_EQ(step(reader, {holding({Down, A})}, 1000), (Events{{KeySpace, press}, {KeyDown, press}}));
    EXPECT_EQ(step(reader, {holding({Down, A})}, 1199), Events{});
    EXPECT_EQ(step(reader, {holding({Down, A})}, 1200), (Events{{KeyDown, repeat}}));  // A never repeats
    EXPECT_EQ(step(reader, {holding({Down})}, 1239), (Events{{KeySpace, release}}));
    EXPECT_EQ(step(reader, {holding({Down})}, 1240), (Events{{KeyDown, repeat}}));
    // A late poll makes one repeat, and the next comes an interval after it.
    EXPECT_EQ(step(reader, {holding({Down})}, 5000), (Events{{KeyDown, repeat}}));
    EXPECT_EQ(step(reader, {holding({Down})}, 5039), Events{});
    EXPECT_EQ(step(reader, {holding({Down})}, 5040), (Events{{KeyDown, repeat}}));
    EXPECT_EQ(step(reader, {holding({})}, 5041), (Events{{KeyDown, release}}));
    // Y has no key yet: nothing at all.
    EXPECT_EQ(step(reader, {holding({Y})}, 6000), Events{});
    EXPECT_EQ(step(reader, {holding({})}, 6001), Events{});
}

TEST(Gamepad, AnyControllerPlaysAndUnpluggingLetsGo) {
    Reader reader;
    EXPECT_EQ(step(reader, {}, 0), Events{});
    // Plugged in: the press comes at once.
    EXPECT_EQ(step(reader, {holding({B})}, 10), (Events{{KeyEscape, 1}}));
    // The second controller holds B too: still one press, held while either holds it.
    EXPECT_EQ(step(reader, {holding({B}), holding({B})}, 20), Events{});
    EXPECT_EQ(step(reader, {holding({}), holding({B, Start})}, 30), (Events{{KeyEnter, 1}}));
    EXPECT_EQ(step(reader, {holding({}), holding({B, Start})}, 40), Events{});
    // The second unplugged while holding: both keys let go.
    EXPECT_EQ(step(reader, {holding({})}, 50), (Events{{KeyEscape, 0}, {KeyEnter, 0}}));
    EXPECT_EQ(step(reader, {holding({}, -1, 0)}, 60), (Events{{KeyLeft, 1}}));
}

// The shipped levels played through the headless platform's controller
// script: every screen's buttons, the first level won with the D-pad, the
// stick, a held direction's repeat and a second controller plugged in
// during play, an undo by X.
class GamepadPlay : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string data = BRIMVALE_DATA_BUILD_DIR;
        if (!std::filesystem::exists(data + "/data.lvl")) GTEST_SKIP() << "data not built";
        std::string error;
        ASSERT_TRUE(session::startGameFromFiles(data, data + "/data.lvl", error)) << error;
        playerSet().undo = true;
        playerSet().gamepad = true;
        platform::useGamepads(true);
        headless::padReader().setRepeatRate(RepeatRate{100, 50});
    }
    void TearDown() override { session::resetGame(); }

    // One main-loop turn with the controllers in `pads`, `millis` later.
    static void frame(std::vector<State> pads, double millis = 16) {
        headless::queuePadFrame(headless::PadFrame{std::move(pads), millis});
        drawScreen();
        EXPECT_EQ(headless::padFramesWaiting(), 0u);
    }
    // A press and a release of `button` on controller `which` of `count`.
    static void tap(Button button, int which = 0, int count = 1) {
        std::vector<State> pads(count);
        pads[which] = holding({button});
        frame(pads);
        frame(std::vector<State>(count));
    }
    static void stick(float x, float y) {
        frame({holding({}, x, y)});
        frame({holding({})});
    }
    static void expectTank(int x, int y) {
        EXPECT_EQ(game().play.tank.x, x);
        EXPECT_EQ(game().play.tank.y, y);
    }
};

TEST_F(GamepadPlay, MenusAndTheFirstLevelByControllerAlone) {
    ASSERT_EQ(game().play.screen, Title);
    frame({});  // no controller yet
    tap(Y);
    EXPECT_EQ(game().play.screen, Title);
    tap(A);
    ASSERT_EQ(game().play.screen, LevelSelect);
    tap(Right);
    tap(Down);
    EXPECT_EQ(game().play.level, 7);
    tap(RightBumper);
    EXPECT_GT(game().play.page, 0);
    tap(LeftBumper);
    EXPECT_EQ(game().play.page, 0);
    EXPECT_EQ(game().play.level, 7);
    tap(Up);
    tap(Left);
    EXPECT_EQ(game().play.level, 0);
    tap(B);
    EXPECT_EQ(game().play.screen, Title);
    tap(Start);
    ASSERT_EQ(game().play.screen, LevelSelect);
    tap(A);
    ASSERT_EQ(game().play.screen, Playing);
    EXPECT_EQ(game().play.level, 0);
    // The pause screen and back.
    tap(B);
    EXPECT_EQ(game().play.screen, Result);
    tap(A);
    ASSERT_EQ(game().play.screen, Playing);

    // Right: a turn and seven moves, the last two undone and made again.
    expectTank(4, 5);
    for (int i = 0; i < 8; ++i) tap(Right);
    expectTank(11, 5);
    tap(X);
    tap(X);
    expectTank(9, 5);
    stick(1, 0.2f);
    stick(0.8f, -0.5f);
    expectTank(11, 5);
    // Down: held, a turn and four repeats (at 100, 150, 200, 250 ms).
    frame({holding({Down})}, 0);
    for (int i = 0; i < 5; ++i) frame({holding({Down})}, 50);
    frame({holding({})}, 50);
    expectTank(11, 9);
    // Left: a second controller plugged in plays the rest; the last press
    // drives at the goal.
    for (int i = 0; i < 8; ++i) tap(Left, 1, 2);
    EXPECT_EQ(game().play.outcome, Won);
    tap(Y);
    EXPECT_EQ(game().play.outcome, Won);
    // Start: the next level; B, B, B back to the title, B there quits.
    tap(Start);
    EXPECT_EQ(game().play.level, 1);
    EXPECT_EQ(game().play.outcome, InPlay);
    tap(B);
    EXPECT_EQ(game().play.screen, Result);
    tap(B);
    EXPECT_EQ(game().play.screen, LevelSelect);
    tap(B);
    EXPECT_EQ(game().play.screen, Title);
    try {
        tap(B);
        ADD_FAILURE() << "B on the title screen did not quit";
    } catch (const platform::Quit& q) {
        EXPECT_EQ(q.status, 0);
    }
}

TEST_F(GamepadPlay, ControllersOffDoNothing) {
    platform::useGamepads(false);
    for (Button b : {A, Start}) {
        headless::queuePadFrame(headless::PadFrame{{holding({b})}, 16});
        drawScreen();
    }
    EXPECT_EQ(game().play.screen, Title);
    EXPECT_EQ(headless::padFramesWaiting(), 2u);  // never read
}
