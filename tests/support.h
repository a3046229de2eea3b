// Shared test fixtures: synthetic packs and levels, and the replay in-process.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

// A fresh empty folder under the system's temporary folder.
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

// A level record from 16 rows of numeric codes.
using Record = std::vector<std::uint8_t>;
Record recordFromCodes(const std::vector<std::vector<int>>& rows);
// A record with every cell `fill`.
Record filledRecord(std::uint8_t fill);
void writeLevelFile(const std::string& path, const std::vector<Record>& records);

// Folder with synthetic packs and the given levels as data.lvl.
std::string makeDataDir(const std::string& tag, const std::vector<Record>& records);

// The game started headlessly from `dir` as the replay starts it (counters
// reset first), then `--start` if index >= 0, then the event tokens. Returns
// the replay's report.
std::string replayInProcess(const std::string& dir, int start, const std::string& events);

// Runs a shell command, returns its exit status and captures stdout.
int runCommand(const std::string& command, std::string* out = nullptr);

}  // namespace testsupport
