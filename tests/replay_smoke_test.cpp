// Test of the replay in-process: the report of a game just started.
#include <gtest/gtest.h>

#include "tests/support.h"

using namespace testsupport;

TEST(Replay, StartsOnTitleAfterOneEarlyRedraw) {
    const std::string dir = makeDataDir("smoke", {filledRecord(2)});
    const std::string report = replayInProcess(dir, -1, "");
    EXPECT_EQ(report.substr(0, report.find("terrain")),
              "screen Title\noutcome InPlay\nindex 0\npage 0\nlevels 1\ntank 0 0 0 0 0\nquit no\n"
              "redraws 2\nframes 0\npauses 0\n");
}
