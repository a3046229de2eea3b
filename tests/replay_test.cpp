// The replay tool as a program: its report, its refusals, its PNG.
#include <gtest/gtest.h>
#include <stb_image.h>

#include <cstdio>
#include <string>

#include "render/screen.h"
#include "tests/support.h"

using namespace testsupport;

namespace {

ToolRun replay(const std::string& args) { return runTool("replay " + args); }

// One level: the tank at (3, 7), a brick wall at (3, 4), a pool at (5, 5),
// a block at (6, 6) and an unused code 26 in the corner.
Record sampleLevel() {
    Record r = filledRecord(2);
    r[0] = 26;
    r[7 * 16 + 3] = 10;
    r[4 * 16 + 3] = 3;
    r[5 * 16 + 5] = 1;
    r[6 * 16 + 6] = 5;
    return r;
}

const std::string& sampleDir() {
    static const std::string dir = makeDataDir("replay", {sampleLevel(), filledRecord(24), filledRecord(25)});
    return dir;
}

std::string data() { return "--data '" + sampleDir() + "' "; }

}  // namespace

TEST(ReplayTool, ReportToTheByte) {
    const ToolRun r = replay(data() + "Enter Enter");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    const std::string g = "2 2 2 2 2 2 2 2 2 2 2 2 2 2 2 2\n";
    const std::string z = "0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0\n";
    const std::string want =
        "screen Playing\n"
        "outcome InPlay\n"
        "index 0\n"
        "page 0\n"
        "levels 3\n"
        "tank 3 7 0 -1 270\n"
        "quit no\n"
        "redraws 7\n"
        "frames 0\n"
        "pauses 0\n"
        "terrain\n"
        "26 2 2 2 2 2 2 2 2 2 2 2 2 2 2 2\n" +
        g + g + g +
        "2 2 2 3 2 2 2 2 2 2 2 2 2 2 2 2\n"
        "2 2 2 2 2 1 2 2 2 2 2 2 2 2 2 2\n" +
        g + g + g + g + g + g + g + g + g + g +
        "objects\n" + z + z + z + z + z + z +
        "0 0 0 0 0 0 5 0 0 0 0 0 0 0 0 0\n" +
        z + z + z + z + z + z + z + z + z +
        "states\n" + z + z + z + z + z + z + z + z + z + z + z + z + z + z + z + z;
    EXPECT_EQ(r.out, want);
}

TEST(ReplayTool, MatchesTheGameDrivenInProcess) {
    // Enter+Right on the list: Right is handled inside Enter's first redraw.
    for (const std::string& events : {std::string("Enter Enter+Right"), std::string("Enter Down Space Escape R"),
                                      std::string("click:151,280 click:12,12 Escape click:200,340 PageDown")}) {
        SCOPED_TRACE(events);
        const ToolRun r = replay(data() + "'" + events + "'");
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.out, replayInProcess(sampleDir(), -1, events));
    }
    const ToolRun r = replay(data() + "'Enter Enter+Right'");
    EXPECT_NE(r.out.find("screen Playing\n"), std::string::npos);
    EXPECT_NE(r.out.find("index 1\n"), std::string::npos);
    EXPECT_NE(r.out.find("redraws 8\n"), std::string::npos);
    // The board is level 0's although the index says 1.
    EXPECT_NE(r.out.find("terrain\n26 2"), std::string::npos);
}

TEST(ReplayTool, StartOption) {
    const ToolRun r = replay(data() + "--start 2");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.substr(0, r.out.find("terrain")),
              "screen Playing\noutcome InPlay\nindex 2\npage 0\nlevels 3\ntank 3 7 0 -1 270\nquit no\n"
              "redraws 4\nframes 0\npauses 0\n");
    EXPECT_NE(r.out.find("terrain\n25 25 25"), std::string::npos);
}

TEST(ReplayTool, TokensAreCaseInsensitiveAndMayShareAnArgument) {
    const ToolRun plain = replay(data() + "Enter Down Right Enter");
    ASSERT_EQ(plain.status, 0);
    // Down has no row below on three levels; Right goes to level 1.
    EXPECT_NE(plain.out.find("index 1\n"), std::string::npos);
    EXPECT_EQ(replay(data() + "'Enter Down Right Enter'").out, plain.out);
    EXPECT_EQ(replay(data() + "ENTER dOwN right eNtEr").out, plain.out);
    EXPECT_EQ(replay(data() + "'  enter\tdown' ' RIGHT  ENTER '").out, plain.out);
    EXPECT_EQ(replay(data() + "Enter Down 'Right Enter'").out, plain.out);
}

TEST(ReplayTool, AQuitStopsTheRest) {
    const ToolRun r = replay(data() + "Escape Enter");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.substr(0, r.out.find("terrain")),
              "screen Title\noutcome InPlay\nindex 0\npage 0\nlevels 3\ntank 3 7 0 -1 270\nquit yes\n"
              "redraws 2\nframes 0\npauses 0\n");
    // The "Exit" button, and a quit in the middle of a group.
    const ToolRun click = replay(data() + "click:373,370 Enter");
    EXPECT_NE(click.out.find("quit yes\nredraws 2\n"), std::string::npos);
    const ToolRun group = replay(data() + "Enter Escape+Escape+Enter Enter");
    EXPECT_NE(group.out.find("screen Title\n"), std::string::npos);
    EXPECT_NE(group.out.find("quit yes\n"), std::string::npos);
    EXPECT_NE(group.out.find("redraws 5\n"), std::string::npos);
}

TEST(ReplayTool, RefusesBadInputWithStatus2AndNoReport) {
    const std::string missing = tempDir("nodata") + "/nothing";
    const std::string shortLevels = tempDir("shortlevels") + "/short.lvl";
    writeFile(shortLevels, std::string(100, '\2'));
    struct Case {
        std::string args;
        std::string said;  // part of the message
    };
    const Case cases[] = {
        {data() + "Enter Jump", "Jump"},
        {data() + "Enter+Jump", "Jump"},
        {data() + "click:1,2,3", "click:1,2,3"},
        {data() + "click:", "click:"},
        {data() + "click:12", "click:12"},
        {data() + "'Enter+'", "event"},
        {"--data '" + missing + "' Enter", missing},
        {data() + "--levels '" + missing + "'", missing},
        {data() + "--levels '" + shortLevels + "'", shortLevels},
        {data() + "--levels '" + sampleDir() + "'", sampleDir()},
        {data() + "--start 3", "3"},
        {data() + "--start 1000", "1000"},
        {data() + "--start -1", "-1"},
        {data() + "--start two", "two"},
        {data() + "--start", "--start"},
        {data() + "--png", "--png"},
        {data() + "--frobnicate", "--frobnicate"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.args);
        const ToolRun r = replay(k.args);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find(k.said), std::string::npos) << r.err;
    }
}

TEST(ReplayTool, Help) {
    const ToolRun r = replay("--help");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("usage:", 0), 0u) << r.out;
    EXPECT_EQ(replay("Jump --help").status, 0);
}

TEST(ReplayTool, PngIsTheScreenInRedGreenBlue) {
    const std::string dir = tempDir("png");
    // The title: the picture of pack 1 block 27, channel by channel.
    {
        const std::string png = dir + "/title.png";
        const ToolRun r = replay(data() + "--png '" + png + "'");
        ASSERT_EQ(r.status, 0) << r.err;
        int w = 0, h = 0, n = 0;
        unsigned char* px = stbi_load(png.c_str(), &w, &h, &n, 0);
        ASSERT_NE(px, nullptr);
        EXPECT_EQ(w, 384);
        EXPECT_EQ(h, 384);
        EXPECT_EQ(n, 3);
        for (int y = 0; y < 384; ++y)
            for (int x = 0; x < 384; ++x) {
                const Bgr want = syntheticPixel(1, 27, x, y);
                const unsigned char* p = px + (y * 384 + x) * 3;
                ASSERT_EQ(p[0], want.r) << x << "," << y;
                ASSERT_EQ(p[1], want.g) << x << "," << y;
                ASSERT_EQ(p[2], want.b) << x << "," << y;
            }
        stbi_image_free(px);
    }
    // The result screen after a pause: the same as the screen buffer of the
    // game driven here.
    {
        const std::string png = dir + "/result.png";
        const std::string events = "Enter Enter Right Escape";
        const ToolRun r = replay(data() + "--png '" + png + "' '" + events + "'");
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_NE(r.out.find("screen Result\n"), std::string::npos);
        replayInProcess(sampleDir(), -1, events);
        int w = 0, h = 0, n = 0;
        unsigned char* px = stbi_load(png.c_str(), &w, &h, &n, 0);
        ASSERT_NE(px, nullptr);
        ASSERT_EQ(w * h * n, ScreenBytes);
        for (int i = 0; i < 384 * 384; ++i) {
            ASSERT_EQ(px[i * 3 + 0], display().buffer[i * 3 + 2]) << i;
            ASSERT_EQ(px[i * 3 + 1], display().buffer[i * 3 + 1]) << i;
            ASSERT_EQ(px[i * 3 + 2], display().buffer[i * 3 + 0]) << i;
        }
        stbi_image_free(px);
    }
    // An unwritable PNG fails like any unusable file: status 2, no report.
    const ToolRun bad = replay(data() + "--png '" + dir + "/no/such/folder/x.png'");
    EXPECT_EQ(bad.status, 2);
    EXPECT_EQ(bad.out, "");
    EXPECT_NE(bad.err.find("x.png"), std::string::npos);
}
