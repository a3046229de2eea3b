// The game's icon at every size: pixel for pixel from the drawn 48-pixel
// picture, the same in the installed PNGs and in the game's own window.
#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "assets/icon.h"
#include "tests/support.h"
#include "tools/common/png_io.h"

using namespace testsupport;

TEST(Icon, EachSizeIsThePictureEnlargedAndCentred) {
    // A source drawn as 2x2 squares, each square's bytes its own.
    std::vector<std::uint8_t> source(48 * 48 * 4);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 48; ++x)
            for (int c = 0; c < 4; ++c) source[(y * 48 + x) * 4 + c] = static_cast<std::uint8_t>(x / 2 * 7 + y / 2 * 3 + c + 1);
    EXPECT_EQ(icon::atSize(source.data(), 48), source);
    for (const auto& [size, factor, margin] : {std::tuple{128, 5, 4}, std::tuple{256, 10, 8}, std::tuple{30, 1, 3}}) {
        const std::vector<std::uint8_t> out = icon::atSize(source.data(), size);
        ASSERT_EQ(out.size(), std::size_t(size) * size * 4);
        int wrong = 0;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                const int px = x - margin, py = y - margin;
                const bool inside = px >= 0 && py >= 0 && px < 24 * factor && py < 24 * factor;
                for (int c = 0; c < 4; ++c) {
                    const int want = inside ? source[((py / factor * 2) * 48 + px / factor * 2) * 4 + c] : 0;
                    wrong += out[(y * size + x) * 4 + c] != want;
                }
            }
        EXPECT_EQ(wrong, 0) << size;
    }
}

TEST(Icon, TheToolWritesThePngsAndTheGamesSourceFromTheSamePixels) {
    const std::string dir = tempDir("icon"), from = std::string(BRIMVALE_SOURCE_DIR) + "/data/art/icon.png";
    art::RgbaImage drawn, big;
    std::string error;
    ASSERT_TRUE(art::readPng(from, drawn, error)) << error;
    ASSERT_EQ(runTool("icon --from " + from + " --size 128 -o " + dir + "/128.png").status, 0);
    ASSERT_TRUE(art::readPng(dir + "/128.png", big, error)) << error;
    EXPECT_EQ(big.pixels, icon::atSize(drawn.pixels.data(), 128));

    ASSERT_EQ(runTool("icon --from " + from + " --source iconBytes -o " + dir + "/icon.cpp").status, 0);
    std::string text = readFile(dir + "/icon.cpp");
    ASSERT_NE(text.find("const unsigned char iconBytes[48 * 48 * 4] = {"), std::string::npos) << text.substr(0, 200);
    text = text.substr(text.find('{') + 1);
    std::vector<std::uint8_t> bytes;
    std::istringstream numbers(text);
    for (int n; numbers >> n; numbers.ignore(1)) bytes.push_back(static_cast<std::uint8_t>(n));
    EXPECT_EQ(bytes, drawn.pixels);
    // Neither or both of --size and --source: refused.
    EXPECT_EQ(runTool("icon --from " + from + " -o " + dir + "/x.png").status, 2);
    EXPECT_EQ(runTool("icon --from " + from + " --size 64 --source x -o " + dir + "/x.png").status, 2);
}
