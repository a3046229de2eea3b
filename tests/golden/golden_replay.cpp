// The golden replay test: thousands of seeded brimvale-tool runs, hashed and compared with replay.golden.
//
//   brimvale_golden --tool TOOL --data DIR --golden FILE [--jobs J] [--shard I/N] [--update]
//                   [--expected-tool TOOL]
//
// From a fixed seed it writes packs (the build's own; variants with other alpha
// values, pixel noise, random, short, long) and level files (the shipped one,
// walled rooms, random bytes, truncated) into a temporary folder, and runs each
// case as a child of the real tool: `replay` with keys and clicks, `solve` with
// small state limits, `levels dump`. A case's hash covers its exit status, its
// stdout and the decoded RGB pixels of its PNG; stderr is not looked at. On a
// difference it keeps the folder, exits 1 and, for each of the first ten
// differing cases, prints the command line that reproduces it and writes its
// actual stdout and picture to failures/caseN/ there. With `--expected-tool
// TOOL` (a build of the commit that recorded the golden file) it writes that
// tool's stdout and picture beside them, with diff.png: the expected picture
// dimmed, every differing pixel red. `--jobs J` runs J tools at once; `--shard
// I/N` the cases whose number leaves I divided by N. After a deliberate change
// of behaviour, and only then, rewrite the golden file and commit it:
//   build/brimvale_golden --tool build/brimvale-tool --data build/data --golden tests/golden/replay.golden --update
#include <fcntl.h>
#include <stb_image.h>
#include <stb_image_write.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using u64 = std::uint64_t;
using Bytes = std::string;
using Words = std::vector<std::string>;

namespace {

constexpr int Cases = 3200;  // every 32: one solve, one dump, thirty replays

// splitmix64: the same numbers on every machine.
struct Rng {
    u64 s;
    u64 next() {
        u64 z = (s += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int below(int n) { return static_cast<int>(next() % static_cast<u64>(n)); }
    int range(int lo, int hi) { return lo + below(hi - lo + 1); }
    bool chance(int percent) { return below(100) < percent; }
    template <typename T>
    T pick(const std::vector<T>& v) { return v[below(static_cast<int>(v.size()))]; }
};

constexpr u64 FnvStart = 0xCBF29CE484222325ull;
u64 fnv(u64 h, const void* data, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) h = (h ^ static_cast<const unsigned char*>(data)[i]) * 0x100000001B3ull;
    return h;
}
u64 fnv(u64 h, const std::string& s) { return fnv(h, s.data(), s.size()); }

// The packs' blocks in file order (assets/packs.cpp): runs of equal blocks,
// as count, pixels, bytes a pixel.
struct Block {
    std::size_t offset;
    int pixels, bpp;
};
std::vector<Block> packBlocks(int pack) {
    static const int runs[2][11][3] = {
        {{1, 576, 4}, {14, 576, 3}, {3, 576, 4}, {4, 576, 3}, {1, 2304, 4}, {1, 576, 4}, {3, 576, 3},
         {1, 147456, 3}, {1, 8064, 4}, {1, 576, 4}, {1, 9216, 3}},
        {{1, 147456, 3}, {3, 12, 3}, {1, 2550, 4}, {1, 3500, 4}, {1, 3249, 4}, {1, 375, 4}, {4, 576, 3},
         {1, 576, 4}, {3, 13053, 3}}};
    std::vector<Block> blocks;
    std::size_t offset = 0;
    for (const auto& run : runs[pack])
        for (int i = 0; i < run[0]; ++i, offset += static_cast<std::size_t>(run[1]) * run[2])
            blocks.push_back({offset, run[1], run[2]});
    blocks.push_back({offset, 0, 0});  // the end
    return blocks;
}

struct Case {
    std::string kind;
    Words args;       // after the tool's name
    std::string png;  // the picture the case writes, or empty
};
struct LevelFile {
    std::string path;
    int count;  // whole levels in it
};

std::string toolPath, dataDir, goldenPath, work, expectedTool, selfPath;
std::vector<std::string> packDirs[4];             // the real packs, alpha variants, noisy ones, odd ones
std::vector<LevelFile> levelFiles[5];             // shipped, rooms, rooms with odd codes, random, broken
std::vector<Words> solutions;                     // of the first shipped levels

Bytes readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const std::string& path, const Bytes& bytes) {
    fs::create_directories(fs::path(work + "/" + path).parent_path());
    std::ofstream(work + "/" + path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

Bytes randomBytes(Rng& r, std::size_t n) {
    Bytes b(n, '\0');
    for (char& c : b) c = static_cast<char>(r.below(256));
    return b;
}

// Alpha of every 4-byte block: kept, random, every value in turn or near the
// ends; the tank (pack 1, block 23) always takes every value in turn.
void varyAlpha(Bytes packs[2], Rng& r, int variant) {
    for (int p = 0; p < 2; ++p) {
        const std::vector<Block> blocks = packBlocks(p);
        for (std::size_t b = 0; b + 1 < blocks.size(); ++b) {
            const int mode = (p == 0 && b == 23) ? 2 : r.below(4);
            for (int i = 0; blocks[b].bpp == 4 && mode > 0 && i < blocks[b].pixels; ++i) {
                const int a = mode == 1 ? r.below(256) : mode == 2 ? (i * 37 + variant) & 255
                                                                   : (r.chance(50) ? 0 : 255) ^ r.below(3);
                packs[p][blocks[b].offset + i * 4 + 3] = static_cast<char>(a);
            }
        }
    }
}

void addNoise(Bytes packs[2], Rng& r) {
    for (int n = r.range(1, 8); n > 0; --n) {
        const int p = r.below(2);
        const std::vector<Block> blocks = packBlocks(p);
        const Block& block = blocks[r.below(static_cast<int>(blocks.size()) - 1)];
        const int bytes = block.pixels * block.bpp;
        for (int k = r.range(1, bytes / 3 + 1); k > 0; --k)
            packs[p][block.offset + r.below(bytes)] = static_cast<char>(r.below(256));
    }
}

void makePacks(Rng& r, const Bytes& shippedLevels) {
    const Bytes real[2] = {readFile(dataDir + "/data01.pak"), readFile(dataDir + "/data02.pak")};
    for (int p = 0; p < 2; ++p)
        if (real[p].size() != packBlocks(p).back().offset) {
            std::fprintf(stderr, "brimvale_golden: pack %d in %s is not %zu bytes\n", p + 1, dataDir.c_str(),
                         packBlocks(p).back().offset);
            std::exit(2);
        }
    auto save = [&](int group, const std::string& name, const Bytes& a, const Bytes& b) {
        writeFile("packs/" + name + "/data01.pak", a);
        if (name != "missing") writeFile("packs/" + name + "/data02.pak", b);
        writeFile("packs/" + name + "/data.lvl", shippedLevels);
        if (group >= 0) packDirs[group].push_back("packs/" + name);
    };
    save(0, "real", real[0], real[1]);
    for (int v = 0; v < 14; ++v) {
        Bytes packs[2] = {real[0], real[1]};
        if (v < 8) varyAlpha(packs, r, v);
        if (v >= 6) addNoise(packs, r);
        save(v < 8 ? 1 : 2, (v < 8 ? "alpha" : "noise") + std::to_string(v), packs[0], packs[1]);
    }
    for (int v = 0; v < 2; ++v)
        save(3, "random" + std::to_string(v), randomBytes(r, real[0].size()), randomBytes(r, real[1].size()));
    const std::size_t cuts[4] = {0, 1000, static_cast<std::size_t>(r.below(static_cast<int>(real[0].size()))), 2308};
    for (int v = 0; v < 4; ++v)  // short files: the loader leaves the rest zero
        save(3, "short" + std::to_string(v), real[0].substr(0, cuts[v]),
             real[1].substr(0, v < 2 ? Bytes::npos : cuts[v]));
    for (int v = 0; v < 2; ++v)
        save(3, "long" + std::to_string(v), real[0] + randomBytes(r, r.range(1, 5000)), real[1] + randomBytes(r, 300));
    save(-1, "missing", real[0], real[1]);
    save(3, "folder", real[0], real[1]);  // data02.pak a folder: refused as a missing pack
    fs::remove(work + "/packs/folder/data02.pak");
    fs::create_directories(work + "/packs/folder/data02.pak");
}

// A walled room: the tank's start, a goal, bricks, water with blocks by it,
// mirrors, glass, slots, and anti-tanks looking along the tank's row or column.
Bytes roomLevel(Rng& r, bool oddCodes) {
    static const std::vector<int> features = {3, 3, 3, 4, 1, 1, 1, 5, 5, 6, 7, 8, 9, 16, 17,
                                              18, 19, 20, 21, 22, 23, 24, 25, 0, 2};
    Bytes cells(256, '\2');
    const int lo = r.range(0, 3), hi = r.range(12, 15);
    for (int i = 0; i < 256; ++i)
        if (i % 16 <= lo || i / 16 <= lo || i % 16 >= hi || i / 16 >= hi) cells[i] = r.chance(90) ? 4 : 3;
    const int tx = r.range(lo + 1, hi - 1), ty = r.range(lo + 1, hi - 1);
    for (int n = r.range(2, 50); n > 0; --n) {
        const int x = r.range(lo + 1, hi - 1), y = r.range(lo + 1, hi - 1), code = r.pick(features);
        for (int k = (code == 1 ? r.range(1, 4) : 1); k > 0 && x + k < 16; --k)
            cells[y * 16 + x + k - 1] = static_cast<char>(code);
        if (code == 1) cells[(y - 1) * 16 + x] = 5;  // a block by the water
    }
    for (int n = r.below(4); n > 0; --n) {
        const int d = r.range(1, 6), dir = r.below(4);
        const int x = tx + (dir == 0 ? d : dir == 2 ? -d : 0), y = ty + (dir == 1 ? d : dir == 3 ? -d : 0);
        if (x >= 0 && x < 16 && y >= 0 && y < 16) cells[y * 16 + x] = static_cast<char>(12 + (dir + 2) % 4);
    }
    const int gx = r.chance(40) ? tx + r.range(-2, 2) : r.range(lo + 1, hi - 1);
    const int gy = r.chance(40) ? ty + r.range(-2, 2) : r.range(lo + 1, hi - 1);
    if (r.chance(95) && gx >= 0 && gx < 16 && gy >= 0 && gy < 16) cells[gy * 16 + gx] = 11;
    if (r.chance(96)) cells[ty * 16 + tx] = 10;
    if (r.chance(5)) cells[r.below(256)] = 10;  // a second start
    for (int n = oddCodes ? r.range(1, 12) : 0; n > 0; --n) cells[r.below(256)] = static_cast<char>(r.range(26, 255));
    return cells;
}

void makeLevels(Rng& r, const Bytes& shipped) {
    auto save = [&](int group, const std::string& name, const Bytes& bytes) {
        writeFile("levels/" + name, bytes);
        levelFiles[group].push_back({"levels/" + name, static_cast<int>(bytes.size() / 256)});
    };
    save(0, "shipped.lvl", shipped);
    const int counts[] = {1, 1, 2, 3, 5, 8, 30, 31, 61, 4, 1, 12};
    for (int i = 0; i < 12; ++i) {
        Bytes rooms, odd, random;
        for (int k = 0; k < counts[i]; ++k) {
            rooms += roomLevel(r, false);
            odd += roomLevel(r, true);
            random += randomBytes(r, 256);
        }
        save(1, "rooms" + std::to_string(i) + ".lvl", rooms);
        if (i % 2 == 0) save(2, "odd" + std::to_string(i) + ".lvl", odd);
        if (i % 3 == 0) save(3, "random" + std::to_string(i) + ".lvl", random);
        if (i % 4 == 1) save(4, "cut" + std::to_string(i) + ".lvl", rooms + odd.substr(0, r.range(1, 255)));
    }
    Bytes every;  // every byte value in every cell
    for (int i = 0; i < 256 * 256; ++i) every += static_cast<char>((i % 256 + i / 256) & 255);
    save(3, "every.lvl", every);
    save(4, "empty.lvl", "");
    save(4, "crumb.lvl", randomBytes(r, 255));
    save(4, "shipped-cut.lvl", shipped.substr(0, 30 * 256 + 100));
}

// Starts the tool in the work folder, stdout into `out`, stderr dropped.
pid_t runTool(const Words& args, const std::string& out, const std::string& tool = toolPath) {
    std::vector<char*> argv{const_cast<char*>(tool.c_str())};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        const int fd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), null = open("/dev/null", O_WRONLY);
        if (fd < 0 || null < 0 || chdir(work.c_str()) != 0) _exit(126);
        dup2(fd, 1);
        dup2(null, 2);
        execv(argv[0], argv.data());
        _exit(127);
    }
    return pid;
}

// Winning key sequences for the first shipped levels, from the solver.
void findSolutions() {
    for (int level = 0; level < 10; ++level) {
        const std::string out = work + "/solution.txt";
        waitpid(runTool({"solve", "--levels", "levels/shipped.lvl", "--level", std::to_string(level), "--max-states",
                         "300000"}, out),
                nullptr, 0);
        std::istringstream in(readFile(out));  // level N solved MOVES KEYS...
        Words keys;
        std::string word;
        for (int i = 0; in >> word; ++i)
            if (i >= 4) keys.push_back(word);
        solutions.push_back(keys);
    }
}

// A click on a button, a level cell or a page arrow (at times on its very
// edges), or anywhere.
std::string clickToken(Rng& r) {
    struct Rect { int x, y, w, h; };
    static const std::vector<Rect> targets = {{150, 258, 224, 50}, {150, 321, 224, 50}, {9, 318, 57, 57},
                                              {70, 318, 57, 57},   {77, 192, 229, 57},  {77, 255, 229, 57},
                                              {77, 318, 229, 57}};
    int x = r.range(-5, 390), y = r.range(-5, 390);
    if (r.chance(3)) x = r.range(-100000, 100000), y = r.range(-100000, 100000);
    if (r.chance(85)) {
        const Rect t = r.chance(40) ? Rect{11 + 62 * r.below(6), 11 + 61 * r.below(5), 51, 50} : r.pick(targets);
        x = t.x + (r.chance(15) ? r.pick(std::vector<int>{0, 1, t.w - 1, t.w}) : r.range(1, t.w - 1));
        y = t.y + (r.chance(15) ? r.pick(std::vector<int>{0, 1, t.h - 1, t.h}) : r.range(1, t.h - 1));
    }
    return "click:" + std::to_string(x) + "," + std::to_string(y);
}

std::string eventToken(Rng& r) {
    static const Words moves = {"Left", "Right", "Up", "Down", "W", "A", "S", "D"};
    static const Words others = {"Space", "Space", "Enter", "Enter", "Escape", "PageUp", "PageDown", "R"};
    const int k = r.below(100);
    std::string t = k < 40 ? r.pick(moves) : k < 72 ? r.pick(others) : clickToken(r);
    if (r.chance(5))
        for (char& c : t) c = static_cast<char>(r.chance(50) ? std::toupper(c) : std::tolower(c));
    return t;
}

// Groups of events, some joined by '+', some arguments holding several words,
// now and then one bad word that fails the whole replay.
void addEvents(Rng& r, Words& args, int groups) {
    const std::size_t first = args.size();
    for (int g = 0; g < groups; ++g) {
        std::string word = eventToken(r);
        while (r.chance(12)) word += "+" + eventToken(r);
        if (g > 0 && r.chance(8))
            args.back() += r.pick(Words{" ", "\t", "  "}) + word;
        else
            args.push_back(word);
    }
    if (groups > 0 && r.chance(3))
        args[first + r.below(static_cast<int>(args.size() - first))] +=
            r.pick(Words{" Jump", "+", " click:1", " click:5,x", " click:100001,2", "+Spacebar"});
}

Case replayCase(Rng& r, int number) {
    Case c{"replay", {"replay"}, ""};
    const int p = r.below(1000), l = r.below(100), mode = r.below(100);
    c.args.push_back("--data");
    c.args.push_back(p < 3 ? "packs/missing" : r.pick(packDirs[p < 450 ? 0 : p < 700 ? 1 : p < 850 ? 2 : 3]));
    const LevelFile levels = r.pick(levelFiles[l < 35 ? 0 : l < 75 ? 1 : l < 85 ? 2 : l < 95 ? 3 : 4]);
    if (l >= 35 || r.chance(50)) c.args.insert(c.args.end(), {"--levels", levels.path});  // else DIR/data.lvl
    if (mode < 10) {  // a shipped level won by the solver's keys, or nearly
        const int level = r.below(static_cast<int>(solutions.size()));
        c.args = {"replay", "--data", r.pick(packDirs[r.chance(70) ? 0 : 1]), "--start", std::to_string(level)};
        const Words& keys = solutions[level];
        const int n = r.chance(70) ? static_cast<int>(keys.size()) : r.below(static_cast<int>(keys.size()) + 1);
        c.args.insert(c.args.end(), keys.begin(), keys.begin() + n);
    } else if (mode < 45) {
        const int start = r.chance(93) ? r.below(levels.count > 0 ? levels.count : 1) : levels.count + r.below(3);
        c.args.push_back("--start");
        c.args.push_back(r.chance(2) ? r.pick(Words{"-1", "x", "1000000001"}) : std::to_string(start));
    } else if (mode < 75) {  // into the level list by key or by a click
        c.args.push_back(r.chance(50) ? "Space" : clickToken(r));
    }
    if (r.chance(65)) {
        c.png = "case" + std::to_string(number) + ".png";
        c.args.insert(c.args.begin() + 1, {"--png", c.png});
    }
    addEvents(r, c.args, r.chance(20) ? r.range(0, 4) : r.range(1, 40));
    return c;
}

Case solveCase(Rng& r) {
    Case c{"solve", {"solve"}, ""};
    const int l = r.below(100);
    const LevelFile levels =
        l < 5 ? LevelFile{"", 90} : r.pick(levelFiles[l < 30 ? 0 : l < 65 ? 1 : l < 80 ? 2 : l < 90 ? 3 : 4]);
    if (l < 5)
        c.args.insert(c.args.end(), {"--data", "packs/real"});
    else
        c.args.insert(c.args.end(), {"--levels", levels.path});
    if (levels.count > 4 || r.chance(80)) {
        const int level = r.chance(95) ? r.below(levels.count > 0 ? levels.count : 1) : levels.count;
        c.args.insert(c.args.end(), {"--level", std::to_string(level)});
    }
    const int limit = r.chance(4) ? 0 : 1 << r.range(0, 14);
    c.args.insert(c.args.end(), {"--max-states", std::to_string(limit + r.below(limit + 1))});
    return c;
}

Case makeCase(int number) {
    Rng r{0xB81A7E5EEDull ^ (static_cast<u64>(number) * 0x9E3779B97F4A7C15ull)};
    if (number % 32 == 0) return solveCase(r);
    if (number % 32 == 1)
        return {"dump", {"levels", "dump", r.chance(3) ? "levels/none.lvl" : r.pick(levelFiles[r.below(5)]).path}, ""};
    return replayCase(r, number);
}

// Exit status, stdout and the PNG's pixels as one hash; the files go.
u64 caseHash(int status, const std::string& out, const std::string& png) {
    const std::string how = WIFEXITED(status) ? "exit " + std::to_string(WEXITSTATUS(status))
                                              : "signal " + std::to_string(WTERMSIG(status));
    u64 h = fnv(fnv(FnvStart, how + "\n"), readFile(out));
    int w = 0, ht = 0, n = 0;
    unsigned char* pixels = png.empty() ? nullptr : stbi_load((work + "/" + png).c_str(), &w, &ht, &n, 3);
    h = fnv(h, pixels ? "png " + std::to_string(w) + "x" + std::to_string(ht) : "no png");
    if (pixels) h = fnv(h, pixels, static_cast<std::size_t>(w) * ht * 3);
    stbi_image_free(pixels);
    fs::remove(out);
    if (!png.empty()) fs::remove(work + "/" + png);
    return h;
}

std::string commandLine(const Case& c) {
    std::string line = "cd " + work + " && " + toolPath;
    for (const std::string& a : c.args) {
        const bool plain = !a.empty() && a.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                                             "0123456789_./:,+-") == std::string::npos;
        line += plain ? " " + a : " '" + a + "'";
    }
    return line;
}

// Runs the chosen cases, `jobs` at a time: their golden lines, by number.
std::map<int, std::string> runCases(const std::vector<int>& chosen, int jobs) {
    std::map<int, std::string> lines;
    std::map<pid_t, int> running;
    std::size_t next = 0;
    const auto outFile = [](int number) { return work + "/out" + std::to_string(number) + ".txt"; };
    while (next < chosen.size() || !running.empty()) {
        if (next < chosen.size() && static_cast<int>(running.size()) < jobs) {
            running[runTool(makeCase(chosen[next]).args, outFile(chosen[next]))] = chosen[next];
            ++next;
            continue;
        }
        int status = 0;
        const pid_t pid = waitpid(-1, &status, 0);
        if (!running.count(pid)) continue;
        const int number = running[pid];
        running.erase(pid);
        const Case c = makeCase(number);
        char line[64];
        std::snprintf(line, sizeof line, "%d %s %016llx", number, c.kind.c_str(),
                      static_cast<unsigned long long>(caseHash(status, outFile(number), c.png)));
        lines[number] = line;
    }
    return lines;
}

std::string totalLine(const std::map<int, std::string>& lines) {
    u64 h = FnvStart;
    for (const auto& entry : lines) h = fnv(h, entry.second + "\n");
    char text[32];
    std::snprintf(text, sizeof text, "all %016llx", static_cast<unsigned long long>(h));
    return text;
}

// The picture a case wrote: width, height and RGB pixels (none: empty).
struct Picture {
    int w = 0, h = 0;
    std::vector<unsigned char> rgb;
};
Picture loadPicture(const std::string& path) {
    Picture p;
    int n = 0;
    unsigned char* pixels = stbi_load(path.c_str(), &p.w, &p.h, &n, 3);
    if (pixels) p.rgb.assign(pixels, pixels + static_cast<std::size_t>(p.w) * p.h * 3);
    stbi_image_free(pixels);
    return p;
}

// Runs case `number` again with `tool`: its stdout and picture go to
// DIR/NAME.txt and DIR/NAME.png; its golden line is returned.
std::string rerun(int number, const std::string& tool, const std::string& dir, const std::string& name) {
    const Case c = makeCase(number);
    int status = 0;
    waitpid(runTool(c.args, dir + "/" + name + ".txt", tool), &status, 0);
    if (!c.png.empty() && fs::exists(work + "/" + c.png)) fs::copy_file(work + "/" + c.png, dir + "/" + name + ".png");
    const Bytes out = readFile(dir + "/" + name + ".txt");
    writeFile("keep.txt", out);  // caseHash takes the file away
    char line[64];
    std::snprintf(line, sizeof line, "%d %s %016llx", number, c.kind.c_str(),
                  static_cast<unsigned long long>(caseHash(status, work + "/keep.txt", c.png)));
    return line;
}

// The expected picture dimmed to grey, each pixel that differs red; what
// differs, in words.
std::string writeDifference(const Picture& expected, const Picture& actual, const std::string& path) {
    if (expected.rgb.empty() || actual.rgb.empty())
        return expected.rgb.empty() == actual.rgb.empty() ? "neither run wrote a picture"
                                                          : expected.rgb.empty() ? "only the actual run wrote a picture"
                                                                                 : "only the expected run wrote a picture";
    if (expected.w != actual.w || expected.h != actual.h)
        return "the pictures differ in size: expected " + std::to_string(expected.w) + "x" +
               std::to_string(expected.h) + ", actual " + std::to_string(actual.w) + "x" + std::to_string(actual.h);
    std::vector<unsigned char> diff(expected.rgb.size());
    int differ = 0, x0 = expected.w, y0 = expected.h, x1 = -1, y1 = -1;
    for (int i = 0; i < expected.w * expected.h; ++i) {
        const unsigned char* e = &expected.rgb[i * 3];
        const unsigned char* a = &actual.rgb[i * 3];
        unsigned char* d = &diff[i * 3];
        if (e[0] == a[0] && e[1] == a[1] && e[2] == a[2]) {
            d[0] = d[1] = d[2] = static_cast<unsigned char>((e[0] + e[1] + e[2]) / 9);
            continue;
        }
        d[0] = 255, d[1] = d[2] = 0;
        ++differ;
        const int x = i % expected.w, y = i / expected.w;
        x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
    }
    if (differ == 0) return "the pictures are the same";
    stbi_write_png(path.c_str(), expected.w, expected.h, 3, diff.data(), expected.w * 3);
    return std::to_string(differ) + " pixels differ, within x " + std::to_string(x0) + ".." + std::to_string(x1) +
           ", y " + std::to_string(y0) + ".." + std::to_string(y1);
}

// Writes what case `number` gives now, and with --expected-tool what it gave
// when recorded, to failures/caseN/ in the work folder, and says what differs.
void showFailure(int number, const std::string& golden) {
    const std::string dir = work + "/failures/case" + std::to_string(number);
    fs::create_directories(dir);
    rerun(number, toolPath, dir, "actual");
    std::printf("  its files: %s (actual.txt%s)\n", dir.c_str(), makeCase(number).png.empty() ? "" : ", actual.png");
    if (expectedTool.empty()) return;
    const std::string line = rerun(number, expectedTool, dir, "expected");
    if (line != golden) {
        std::printf("  the expected tool gives '%s', not the golden line: it is no build of the recorded commit\n",
                    line.c_str());
        return;
    }
    const bool sameOut = readFile(dir + "/expected.txt") == readFile(dir + "/actual.txt");
    std::printf("  stdout %s; %s\n", sameOut ? "the same" : "differs (expected.txt, actual.txt)",
                writeDifference(loadPicture(dir + "/expected.png"), loadPicture(dir + "/actual.png"),
                                dir + "/diff.png").c_str());
    if (fs::exists(dir + "/diff.png")) std::printf("  expected.png, actual.png and diff.png (red: differs) are there\n");
}

// Prints the first ten differing cases with their command lines and writes
// their files; 1 if any case differs.
int compare(const std::map<int, std::string>& lines, bool whole) {
    std::map<int, std::string> golden;
    std::ifstream in(goldenPath);
    for (std::string line; std::getline(in, line);)
        if (!line.empty() && line[0] != '#') golden[line.rfind("all ", 0) == 0 ? -1 : std::atoi(line.c_str())] = line;
    if (golden.empty()) std::printf("no golden lines in %s\n", goldenPath.c_str());
    int differ = 0;
    for (const auto& [number, line] : lines) {
        if (golden[number] == line) continue;
        if (++differ > 10) continue;
        std::printf("case %d differs: got '%s', golden '%s'; to reproduce:\n  %s\n", number, line.c_str(),
                    golden[number].c_str(), commandLine(makeCase(number)).c_str());
        showFailure(number, golden[number]);
    }
    if (whole && differ == 0 && golden[-1] != totalLine(lines)) {
        std::printf("the total differs: got '%s', golden '%s'\n", totalLine(lines).c_str(), golden[-1].c_str());
        differ = 1;
    }
    if (differ == 0) return 0;
    std::printf("%d of %zu cases differ from %s; their files are kept in %s.\n", differ, lines.size(),
                goldenPath.c_str(), work.c_str());
    if (expectedTool.empty())
        std::printf("For the expected pictures and diff.png: build the commit that recorded the golden file\n"
                    "(git log -1 --format=%%h -- tests/golden/replay.golden) and rerun with --expected-tool ITS_TOOL.\n");
    std::printf("A deliberate change of behaviour, and only then: record it and commit the golden file:\n"
                "  %s --tool %s --data %s --golden %s --update\n",
                selfPath.c_str(), toolPath.c_str(), dataDir.c_str(), fs::absolute(goldenPath).string().c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    int jobs = 2, shard = 0, shards = 1;
    bool update = false, ok = true;
    for (int i = 1; i < argc && ok; ++i) {
        const std::string arg = argv[i], value = i + 1 < argc ? argv[i + 1] : "";
        if (arg == "--update") {
            update = true;
            continue;
        }
        ok = ++i < argc;
        if (!ok) break;
        if (arg == "--tool") toolPath = fs::absolute(value).string();
        else if (arg == "--data") dataDir = fs::absolute(value).string();
        else if (arg == "--golden") goldenPath = value;
        else if (arg == "--jobs") jobs = std::atoi(value.c_str());
        else if (arg == "--expected-tool") expectedTool = fs::absolute(value).string();
        else ok = arg == "--shard" && std::sscanf(value.c_str(), "%d/%d", &shard, &shards) == 2;
    }
    if (!ok || toolPath.empty() || dataDir.empty() || goldenPath.empty() || jobs < 1 || shards < 1 || shard < 0 ||
        shard >= shards || (update && shards != 1)) {
        std::fprintf(stderr, "usage: brimvale_golden --tool TOOL --data DIR --golden FILE [--jobs J] "
                             "[--shard I/N | --update] [--expected-tool TOOL]\n");
        return 2;
    }
    selfPath = fs::absolute(argv[0]).string();
    char folder[] = "/tmp/brimvale-golden-XXXXXX";
    if (!mkdtemp(folder)) return 2;
    work = folder;
    Rng setup{0x5EED0F6B817A1Eull};
    const Bytes shipped = readFile(dataDir + "/data.lvl");
    makePacks(setup, shipped);
    makeLevels(setup, shipped);
    findSolutions();
    std::vector<int> chosen;
    for (int n = shard; n < Cases; n += shards) chosen.push_back(n);
    const std::map<int, std::string> lines = runCases(chosen, jobs);
    if (update) {
        std::ofstream out(goldenPath);
        out << "# brimvale_golden: case, kind, hash of exit status, stdout and PNG pixels; rewritten by --update\n";
        for (const auto& entry : lines) out << entry.second << "\n";
        out << totalLine(lines) << "\n";
        std::printf("wrote %zu cases to %s\n", lines.size(), goldenPath.c_str());
    } else if (compare(lines, shards == 1) != 0) {
        return 1;
    } else {
        std::printf("%zu cases match %s\n", lines.size(), goldenPath.c_str());
    }
    fs::remove_all(work);
    return 0;
}
