// Tests of the art pipeline: pack, unpack, their refusals, the painted art.
// Packing PNG sources into the two image packs, unpacking them again, the
// refusals of wrong sources, and the art set that paint-art draws.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "assets/packs.h"
#include "tests/support.h"
#include "tools/art/art_set.h"
#include "tools/art/manifest.h"
#include "tools/art/pack.h"
#include "tools/common/png_io.h"

namespace fs = std::filesystem;
using namespace testsupport;
using art::readPng;
using art::RgbaImage;
using art::writePng;

namespace {

const std::string artDir = std::string(BRIMVALE_SOURCE_DIR) + "/data/art";

// The bytes of a file read whole, as pixel bytes.
const std::uint8_t* bytes(const std::string& file) { return reinterpret_cast<const std::uint8_t*>(file.data()); }

RgbaImage png(const std::string& path) {
    RgbaImage image;
    std::string error;
    EXPECT_TRUE(readPng(path, image, error)) << error;
    return image;
}

// A copy of the committed art set that a test may spoil.
std::string copyOfArt(const std::string& tag) {
    const std::string dir = tempDir(tag);
    for (const auto& entry : fs::directory_iterator(artDir)) fs::copy_file(entry.path(), fs::path(dir) / entry.path().filename());
    return dir;
}

// Packs `art` into a fresh folder; returns the error message ("" on success).
std::string packError(const std::string& art, const std::string& out) {
    std::string error;
    const bool ok = art::packArt(art, out, error);
    EXPECT_EQ(ok, error.empty());
    return ok ? std::string() : error;
}

// Runs a shell command, returns its exit status, captures stdout and stderr.
int run(const std::string& command, std::string& output) {
    output.clear();
    return runCommand(command + " 2>&1", &output);
}

const std::uint8_t* pixel(const RgbaImage& image, int x, int y) {
    return image.pixels.data() + (static_cast<std::size_t>(y) * image.width + x) * 4;
}

class ArtPack : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        packed = tempDir("packed");
        std::string error;
        ASSERT_TRUE(art::packArt(artDir, packed, error)) << error;
    }
    static std::string packed;
};
std::string ArtPack::packed;

}  // namespace

TEST_F(ArtPack, PacksHaveTheirExactSizes) {
    EXPECT_EQ(fs::file_size(packed + "/data01.pak"), 561600u);
    EXPECT_EQ(fs::file_size(packed + "/data02.pak"), 607865u);
    EXPECT_EQ(fs::file_size(packed + "/data03.pak"), 162752u);  // the guide's own pack
}

TEST_F(ArtPack, BackgroundPatternStartsAt0x825C0WithItsBlueByte) {
    const std::string pack1File = readFile(packed + "/data01.pak");
    const std::uint8_t* pack1 = bytes(pack1File);
    const RgbaImage background = png(artDir + "/background.png");
    ASSERT_EQ(packBlockOffset(1, 30), 0x825C0u);
    // Pack order is blue, green, red; the PNG's is red, green, blue.
    EXPECT_EQ(pack1[0x825C0], pixel(background, 0, 0)[2]);
    EXPECT_EQ(pack1[0x825C1], pixel(background, 0, 0)[1]);
    EXPECT_EQ(pack1[0x825C2], pixel(background, 0, 0)[0]);
    // The last pixel of the pattern is the last three bytes of the pack.
    EXPECT_EQ(pack1[561597], pixel(background, 95, 95)[2]);
    EXPECT_EQ(pack1[561599], pixel(background, 95, 95)[0]);
}

TEST_F(ArtPack, DigitSevenStarts175RowsIntoTheDigitImage) {
    const std::string pack2File = readFile(packed + "/data02.pak");
    const std::uint8_t* pack2 = bytes(pack2File);
    const RgbaImage digits = png(artDir + "/digits.png");
    const std::size_t at = packBlockOffset(2, 5) + 175 * 14 * 4;
    ASSERT_EQ(packBlockOffset(2, 5), 0x6E844u);
    bool anyInk = false;
    for (int y = 0; y < 25; ++y)
        for (int x = 0; x < 14; ++x) {
            const std::uint8_t* p = pixel(digits, x, 175 + y);
            const std::uint8_t* q = &pack2[at + (y * 14 + x) * 4];
            ASSERT_EQ(q[0], p[2]) << x << "," << y;
            ASSERT_EQ(q[1], p[1]);
            ASSERT_EQ(q[2], p[0]);
            ASSERT_EQ(q[3], p[3]);
            anyInk = anyInk || q[3] > 0;
        }
    EXPECT_TRUE(anyInk);
}

TEST_F(ArtPack, EveryBlockHoldsItsPictureInPackByteOrder) {
    std::vector<art::ManifestEntry> entries;
    std::string error;
    ASSERT_TRUE(art::readManifest(artDir + "/manifest.txt", entries, error)) << error;
    ASSERT_EQ(entries.size(), static_cast<std::size_t>(Pack1Blocks + Pack2Blocks + Pack3Blocks));
    const std::string packs[4] = {{}, readFile(packed + "/data01.pak"), readFile(packed + "/data02.pak"),
                                  readFile(packed + "/data03.pak")};
    for (const art::ManifestEntry& e : entries) {
        const RgbaImage image = png(artDir + "/" + e.file);
        const int bpp = e.rgba ? 4 : 3;
        const std::uint8_t* block = bytes(packs[e.pack]) + packBlockOffset(e.pack, e.block);
        for (int i = 0; i < e.width * e.height; ++i) {
            const std::uint8_t* p = image.pixels.data() + i * 4;
            const std::uint8_t* q = block + i * bpp;
            ASSERT_TRUE(q[0] == p[2] && q[1] == p[1] && q[2] == p[0] && (bpp == 3 || q[3] == p[3]))
                << e.file << " pixel " << i;
        }
    }
}

TEST_F(ArtPack, PngToPackToPngRoundTripsExactly) {
    const std::string unpacked = tempDir("unpacked");
    std::string error;
    ASSERT_TRUE(art::unpackArt(packed, unpacked, error)) << error;
    std::size_t files = 0;
    for (const auto& entry : fs::directory_iterator(artDir)) {
        const std::string name = entry.path().filename().string();
        if (name == art::IconName) continue;  // the desktop icon is no pack block
        ASSERT_TRUE(fs::exists(fs::path(unpacked) / name)) << name;
        if (entry.path().extension() == ".png") {
            const RgbaImage a = png(entry.path().string());
            const RgbaImage b = png(unpacked + "/" + name);
            EXPECT_EQ(a.width, b.width) << name;
            EXPECT_EQ(a.height, b.height) << name;
            EXPECT_TRUE(a.pixels == b.pixels) << name;
        } else {
            EXPECT_TRUE(readFile(entry.path().string()) == readFile(unpacked + "/" + name)) << name;
        }
        ++files;
    }
    EXPECT_EQ(files, static_cast<std::size_t>(Pack1Blocks + Pack2Blocks + Pack3Blocks + 1));
    // And back again: the same packs, byte for byte.
    const std::string repacked = tempDir("repacked");
    EXPECT_EQ(packError(unpacked, repacked), "");
    EXPECT_TRUE(readFile(repacked + "/data01.pak") == readFile(packed + "/data01.pak"));
    EXPECT_TRUE(readFile(repacked + "/data02.pak") == readFile(packed + "/data02.pak"));
    EXPECT_TRUE(readFile(repacked + "/data03.pak") == readFile(packed + "/data03.pak"));
}

TEST_F(ArtPack, AShortPackUnpacksWithZeroesForItsMissingBytes) {
    const std::string data = tempDir("short");
    fs::copy_file(packed + "/data01.pak", data + "/data01.pak");
    // Cut 19 bytes into the first shore strip: six pixels and one blue byte.
    writeFile(data + "/data02.pak", readFile(packed + "/data02.pak").substr(0, 442368 + 19));
    std::string error;
    const std::string out = tempDir("short-out");
    std::vector<std::string> notes;
    ASSERT_TRUE(art::unpackArt(data, out, error, &notes)) << error;
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_NE(notes[0].find("data02.pak"), std::string::npos) << notes[0];
    // The level-select picture is whole; the first shore strip has its
    // first six pixels, the blue of the seventh, and black after.
    EXPECT_TRUE(png(out + "/level_select.png").pixels == png(artDir + "/level_select.png").pixels);
    const RgbaImage shore = png(out + "/shore_a.png");
    const RgbaImage shoreWas = png(artDir + "/shore_a.png");
    for (int x = 0; x < 6; ++x)
        for (int c = 0; c < 4; ++c) EXPECT_EQ(pixel(shore, x, 0)[c], pixel(shoreWas, x, 0)[c]) << x;
    EXPECT_EQ(pixel(shore, 6, 0)[2], pixel(shoreWas, 6, 0)[2]);  // the blue byte arrived
    EXPECT_EQ(pixel(shore, 6, 0)[1], 0);
    EXPECT_EQ(pixel(shore, 6, 0)[0], 0);
    for (int x = 7; x < 12; ++x) EXPECT_EQ(pixel(shore, x, 0)[0] | pixel(shore, x, 0)[1] | pixel(shore, x, 0)[2], 0);
    for (std::uint8_t byte : png(out + "/digits.png").pixels) ASSERT_EQ(byte, 0);
    // What unpack wrote packs again to full-size files.
    const std::string repacked = tempDir("short-repacked");
    EXPECT_EQ(packError(out, repacked), "");
    EXPECT_EQ(fs::file_size(repacked + "/data02.pak"), 607865u);
}

TEST(ArtPackRefusals, AWrongSizeIsRefusedNamingTheFile) {
    const std::string art = copyOfArt("wrong-size");
    const std::vector<std::uint8_t> grey(24 * 23 * 3, 90);
    std::string error;
    ASSERT_TRUE(writePng(art + "/ground.png", 24, 23, 3, grey.data(), error));
    const std::string out = tempDir("wrong-size-out");
    error = packError(art, out);
    EXPECT_NE(error.find("ground.png"), std::string::npos) << error;
    EXPECT_NE(error.find("24x23"), std::string::npos) << error;
    EXPECT_NE(error.find("needs 24x24"), std::string::npos) << error;
    EXPECT_FALSE(fs::exists(out + "/data01.pak"));
    EXPECT_FALSE(fs::exists(out + "/data02.pak"));
}

TEST(ArtPackRefusals, AFrameCountThatDoesNotFitIsRefused) {
    const std::string art = copyOfArt("frames");
    const std::vector<std::uint8_t> one(24 * 24 * 4, 255);
    std::string error;
    ASSERT_TRUE(writePng(art + "/explosion.png", 24, 24, 4, one.data(), error));
    error = packError(art, art);
    EXPECT_NE(error.find("explosion.png"), std::string::npos) << error;
    EXPECT_NE(error.find("14 frames of 24x24"), std::string::npos) << error;
}

TEST(ArtPackRefusals, AMissingFileIsRefusedNamingTheFile) {
    const std::string art = copyOfArt("missing");
    fs::remove(art + "/goal.png");
    const std::string out = tempDir("missing-out");
    const std::string error = packError(art, out);
    EXPECT_NE(error.find("goal.png"), std::string::npos) << error;
    EXPECT_NE(error.find("cannot open"), std::string::npos) << error;
    EXPECT_FALSE(fs::exists(out + "/data01.pak"));
}

TEST(ArtPackRefusals, TransparencyInAnRgbBlockIsRefused) {
    const std::string art = copyOfArt("alpha");
    RgbaImage water = png(art + "/water.png");
    std::string error;
    // Fully opaque RGBA is fine for an RGB block...
    ASSERT_TRUE(writePng(art + "/water.png", 24, 24, 4, water.pixels.data(), error));
    EXPECT_EQ(packError(art, art), "");
    // ...one pixel with alpha below 255 is not.
    water.pixels[(5 * 24 + 3) * 4 + 3] = 128;
    ASSERT_TRUE(writePng(art + "/water.png", 24, 24, 4, water.pixels.data(), error));
    error = packError(art, art);
    EXPECT_NE(error.find("water.png"), std::string::npos) << error;
    EXPECT_NE(error.find("transparent"), std::string::npos) << error;
    EXPECT_NE(error.find("x 3, y 5, alpha 128"), std::string::npos) << error;
}

TEST(ArtPackRefusals, RgbaBlocksKeepTheirAlpha) {
    const std::string art = copyOfArt("keep-alpha");
    RgbaImage overlay = png(art + "/result_overlay.png");
    overlay.pixels[3] = 7;
    overlay.pixels[0] = 200;  // colour under a nearly transparent pixel survives too
    std::string error;
    ASSERT_TRUE(writePng(art + "/result_overlay.png", 24, 24, 4, overlay.pixels.data(), error));
    ASSERT_EQ(packError(art, art), "");
    const std::string pack2File = readFile(art + "/data02.pak");
    const std::uint8_t* pack2 = bytes(pack2File);
    const std::size_t at = packBlockOffset(2, 12);
    EXPECT_EQ(pack2[at + 2], 200);
    EXPECT_EQ(pack2[at + 3], 7);
}

TEST(ArtPackRefusals, ManifestMistakesNameTheLine) {
    const std::string art = copyOfArt("manifest");
    const std::string text = readFile(art + "/manifest.txt");
    std::string error;
    auto tryText = [&](const std::string& t) {
        writeFile(art + "/manifest.txt", t);
        return packError(art, art);
    };
    // A size that is not the block's.
    std::string wrong = text;
    const std::size_t tank = wrong.find("24x24    1      tank.png");
    ASSERT_NE(tank, std::string::npos);
    wrong.replace(tank, 5, "24x25");
    error = tryText(wrong);
    EXPECT_NE(error.find("manifest.txt:"), std::string::npos) << error;
    EXPECT_NE(error.find("block 23 (tank) is rgba 24x24 1"), std::string::npos) << error;
    // A block left out.
    std::string missing = text;
    const std::size_t line = missing.find("  2    11");
    ASSERT_NE(line, std::string::npos);
    missing.erase(line, missing.find('\n', line) + 1 - line);
    error = tryText(missing);
    EXPECT_NE(error.find("no line for pack 2 block 11 (scorch)"), std::string::npos) << error;
    // A block given twice.
    error = tryText(text + "2 11 rgb 24x24 1 scorch.png\n");
    EXPECT_NE(error.find("already given on line"), std::string::npos) << error;
    // The standard manifest is accepted as it is.
    EXPECT_EQ(tryText(art::standardManifestText()), "");
}

TEST(ArtPackTool, CommandLineExitsNonZeroAndNamesTheFile) {
    const std::string art = copyOfArt("cli");
    fs::remove(art + "/tank.png");
    std::string output;
    EXPECT_NE(run(std::string(BRIMVALE_TOOL) + " pack --art " + art + " --out " + art, output), 0);
    EXPECT_NE(output.find("tank.png"), std::string::npos) << output;
    EXPECT_EQ(run(std::string(BRIMVALE_TOOL) + " pack --help", output), 0);
    EXPECT_NE(output.find("--art"), std::string::npos) << output;
    EXPECT_EQ(run(std::string(BRIMVALE_TOOL) + " unpack --data " + art, output), 1);
    EXPECT_NE(output.find("data01.pak"), std::string::npos) << output;
    EXPECT_EQ(run(std::string(BRIMVALE_TOOL) + " pack --bogus", output), 2);
}

TEST(ArtSet, PaintArtReproducesTheCommittedArt) {
    if (!fs::exists(fs::path(art::DefaultFontDir) / "DejaVuSans-Bold.ttf"))
        GTEST_SKIP() << "DejaVu fonts not installed";
    const std::string out = tempDir("painted");
    std::string error;
    ASSERT_TRUE(art::paintArt(out, art::DefaultFontDir, error)) << error;
    std::size_t files = 0;
    for (const auto& entry : fs::directory_iterator(out)) {
        const std::string name = entry.path().filename().string();
        const std::string committed = artDir + "/" + name;
        ASSERT_TRUE(fs::exists(committed)) << name << " is drawn but not in data/art";
        if (entry.path().extension() == ".png") {
            const RgbaImage a = png(committed);
            const RgbaImage b = png(entry.path().string());
            ASSERT_EQ(a.width, b.width) << name;
            ASSERT_EQ(a.height, b.height) << name;
            std::size_t differ = 0;
            for (std::size_t i = 0; i < a.pixels.size(); ++i) differ += a.pixels[i] != b.pixels[i];
            EXPECT_EQ(differ, 0u) << name << ": regenerate with brimvale-tool paint-art --out data/art";
        } else {
            EXPECT_TRUE(readFile(committed) == readFile(entry.path().string())) << name;
        }
        ++files;
    }
    EXPECT_EQ(files, static_cast<std::size_t>(std::distance(fs::directory_iterator(artDir), fs::directory_iterator())));
}

TEST(ArtSet, TanksAreSymmetricAboutTheMidlineSoTurnsLookRight) {
    for (const char* name : {"tank.png", "anti_tank.png"}) {
        const RgbaImage s = png(artDir + "/" + name);
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 24; ++x)
                for (int c = 0; c < 4; ++c) ASSERT_EQ(pixel(s, x, y)[c], pixel(s, x, 23 - y)[c]) << name << " " << x << "," << y;
        // Transparent round the shape, solid in the middle, the gun at the right edge.
        EXPECT_EQ(pixel(s, 0, 0)[3], 0) << name;
        EXPECT_EQ(pixel(s, 10, 12)[3], 255) << name;
        EXPECT_EQ(pixel(s, 23, 12)[3] + pixel(s, 23, 10)[3] > 0, true) << name;
        EXPECT_EQ(pixel(s, 0, 12)[3] + pixel(s, 1, 12)[3] + pixel(s, 2, 12)[3] < 255 * 3, true) << name;
    }
}

TEST(ArtSet, BeamPiecesLieWhereTheBeamRuns) {
    const RgbaImage straight = png(artDir + "/beam_straight.png");
    for (int x = 0; x < 24; ++x)
        for (int y = 0; y < 24; ++y) {
            const int a = pixel(straight, x, y)[3];
            if (y >= 10 && y <= 13) {
                EXPECT_GT(a, 0) << x << "," << y;
            } else if (y < 9 || y > 14) {
                EXPECT_EQ(a, 0) << x << "," << y;
            }
            EXPECT_EQ(a, pixel(straight, 0, y)[3]);  // the same across the whole width
        }
    EXPECT_EQ(pixel(straight, 5, 11)[3], 255);
    EXPECT_LT(pixel(straight, 5, 10)[3], 255);  // soft edge
    // The corner joins the right and bottom edges only.
    const RgbaImage corner = png(artDir + "/beam_corner.png");
    EXPECT_EQ(pixel(corner, 23, 11)[3], 255);
    EXPECT_EQ(pixel(corner, 11, 23)[3], 255);
    EXPECT_EQ(pixel(corner, 0, 11)[3], 0);
    EXPECT_EQ(pixel(corner, 11, 0)[3], 0);
    const RgbaImage cross = png(artDir + "/beam_cross.png");
    for (const auto& at : {std::pair<int, int>{0, 12}, {23, 12}, {12, 0}, {12, 23}}) EXPECT_EQ(pixel(cross, at.first, at.second)[3], 255);
}

TEST(ArtSet, ExplosionFadesToNothing) {
    const RgbaImage e = png(artDir + "/explosion.png");
    int first = 0, last = 0;
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24; ++x) {
            first = std::max<int>(first, pixel(e, x, y)[3]);
            last = std::max<int>(last, pixel(e, x, 13 * 24 + y)[3]);
        }
    EXPECT_GT(first, 200);
    EXPECT_LE(last, 16);
}

TEST(ArtSet, LevelCellHasAnOpaqueRimAndSeeThroughInside) {
    const RgbaImage cell = png(artDir + "/level_cell.png");
    EXPECT_EQ(pixel(cell, 25, 0)[3], 255);
    EXPECT_EQ(pixel(cell, 0, 25)[3], 255);
    EXPECT_EQ(pixel(cell, 50, 25)[3], 255);
    EXPECT_EQ(pixel(cell, 25, 49)[3], 255);
    for (int y = 6; y < 44; ++y) {
        const int a = pixel(cell, 25, y)[3];
        EXPECT_GE(a, 60) << y;
        EXPECT_LE(a, 100) << y;
    }
}

TEST(ArtSet, DigitsAreWhiteGlyphsInsideTheirFrames) {
    const RgbaImage d = png(artDir + "/digits.png");
    for (int f = 0; f < 10; ++f) {
        int ink = 0;
        for (int y = 0; y < 25; ++y)
            for (int x = 0; x < 14; ++x) {
                const std::uint8_t* p = pixel(d, x, 25 * f + y);
                if (!p[3]) continue;
                ++ink;
                EXPECT_EQ(p[0] & p[1] & p[2], 255);
                EXPECT_TRUE(y > 0 && y < 24) << "digit " << f << " touches its frame edge";
            }
        EXPECT_GT(ink, 30) << "digit " << f;
    }
}

TEST(ArtSet, ButtonsAreDrawnExactlyOverTheirClickRectangles) {
    const std::uint8_t outline[3] = {0x14, 0x18, 0x1E};
    auto isOutline = [&](const RgbaImage& s, int x, int y) {
        const std::uint8_t* p = pixel(s, x, y);
        return p[0] == outline[0] && p[1] == outline[1] && p[2] == outline[2];
    };
    const RgbaImage title = png(artDir + "/title.png");
    const RgbaImage select = png(artDir + "/level_select.png");
    struct Rect { const RgbaImage* image; int x, y; };
    for (const Rect& r : {Rect{&title, 150, 258}, Rect{&title, 150, 321}, Rect{&select, 150, 321}}) {
        EXPECT_TRUE(isOutline(*r.image, r.x, r.y));
        EXPECT_TRUE(isOutline(*r.image, r.x + 223, r.y));
        EXPECT_TRUE(isOutline(*r.image, r.x, r.y + 49));
        EXPECT_TRUE(isOutline(*r.image, r.x + 223, r.y + 49));
        EXPECT_FALSE(isOutline(*r.image, r.x + 112, r.y + 25));  // the face, not the rim
    }
    const RgbaImage levels = png(artDir + "/button_levels.png");
    EXPECT_TRUE(isOutline(levels, 0, 0));
    EXPECT_TRUE(isOutline(levels, 228, 56));
}

TEST(ArtSet, PageArrowPointsLeftAndOverlayDarkens) {
    const RgbaImage arrow = png(artDir + "/arrow.png");
    int tip = 25;
    for (int x = 0; x < 25 && tip == 25; ++x)
        for (int y = 0; y < 15; ++y)
            if (pixel(arrow, x, y)[3] > 128) tip = x;
    EXPECT_LT(tip, 3);
    EXPECT_GT(pixel(arrow, 2, 7)[3], 128);
    EXPECT_EQ(pixel(arrow, 2, 0)[3], 0);
    const RgbaImage overlay = png(artDir + "/result_overlay.png");
    for (int i = 0; i < 24 * 24; ++i) {
        const std::uint8_t* p = overlay.pixels.data() + i * 4;
        ASSERT_EQ(p[3], 110);
        ASSERT_LT(p[0] + p[1] + p[2], 60);
    }
}
