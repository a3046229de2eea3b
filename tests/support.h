// Shared test fixtures: synthetic packs and levels, whole files, and the replay in-process.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "game/glyphs.h"
#include "ui/player_set.h"

namespace testsupport {

// A fresh empty folder under the system's temporary folder, removed when the
// test program ends.
std::string tempDir(const std::string& tag);

// Pixel byte `i` of pack `pack`, block `block`, as the synthetic packs hold
// it: every channel different, every row and column different, so a swapped
// channel or a flipped row cannot pass. RGBA blocks are opaque (alpha 255)
// except a transparent first row and a half-transparent second row.
std::uint8_t syntheticPackByte(int pack, int block, std::size_t i);

// Writes data01.pak and data02.pak of the synthetic content into `dir`;
// `cut1`/`cut2` shorten a pack to that many bytes (npos: whole).
void writeSyntheticPacks(const std::string& dir, std::size_t cut1 = std::string::npos,
                         std::size_t cut2 = std::string::npos);

// A level record: the tools' own (256 bytes, byte y*16 + x the code of
// cell (x, y)).
using Record = leveltext::Record;
// A record with every cell `fill`.
Record filledRecord(std::uint8_t fill);
void writeLevelFile(const std::string& path, const std::vector<Record>& records);

// Folder with synthetic packs and the given levels as data.lvl.
std::string makeDataDir(const std::string& tag, const std::vector<Record>& records);

// The game started headlessly from `dir` as the replay starts it (counters
// reset first), then `--start` if index >= 0, then the event tokens, with
// the conveniences of `set`. Returns the replay's report.
std::string replayInProcess(const std::string& dir, int start, const std::string& events,
                            const PlayerSet& set = PlayerSet{});

// The whole file at `path`, and a whole file written; both throw when the
// file cannot be read or written.
std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& bytes);

// brimvale-tool with `args` (quoted for the shell as needed): its status,
// its stdout (sent to `stdoutTo` when given, else captured) and its stderr.
struct ToolRun {
    int status;
    std::string out;
    std::string err;
};
ToolRun runTool(const std::string& args, const std::string& stdoutTo = "");

// Runs a shell command, returns its exit status and captures stdout.
int runCommand(const std::string& command, std::string* out = nullptr);

// A folder holding whole synthetic packs, written once per test program.
const std::string& syntheticDataDir();

// A fresh game in this process: the synthetic packs loaded (whole), the
// sprite set built anew (blank canvases), `records` as the levels, no level
// started, title screen, black screen buffer, counters and input queue empty.
void setUpGame(const std::vector<Record>& records);

// One 3-byte pixel, in storage order.
struct Bgr {
    std::uint8_t b, g, r;
    bool operator==(const Bgr& o) const { return b == o.b && g == o.g && r == o.r; }
    bool operator!=(const Bgr& o) const { return !(*this == o); }
};
void PrintTo(const Bgr& p, std::ostream* os);

// Pixel (x, y) of the screen buffer, of a 3-byte picture `width` wide, and
// the colour bytes of a 4-byte picture's pixel.
Bgr screenPixel(int x, int y);
Bgr picturePixel(const std::uint8_t* pixels, int width, int x, int y);
Bgr spriteColour(const std::uint8_t* pixels, int width, int x, int y);
std::uint8_t spriteAlpha(const std::uint8_t* pixels, int width, int x, int y);
// What the synthetic pack holds at pixel (x, y) of a block (all frames
// stacked), colour bytes only.
Bgr syntheticPixel(int pack, int block, int x, int y);

}  // namespace testsupport
