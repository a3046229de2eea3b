// The optimal solver: a breadth-first search over key presses.
#include "solver/solver.h"

#include <sys/mman.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <utility>

#include "assets/packs.h"
#include "game/board.h"
#include "game/game.h"
#include "game/levels.h"
#include "game/rules.h"
#include "platform/input.h"
#include "solver/mechanics.h"
#include "ui/guide.h"
#include "ui/window_game.h"

namespace solver {

namespace {

const char* const pressNames[PressCount] = {"Left", "Right", "Up", "Down", "Space"};
const int pressKeys[PressCount] = {KeyLeft, KeyRight, KeyUp, KeyDown, KeySpace};

// Zeroed memory straight from the system, in huge pages where it will give
// them: the state set is read at random, and small pages would make nearly
// every look-up an address-translation miss as well as a cache miss.
class Block {
public:
    Block() = default;
    explicit Block(std::size_t bytes) {
        // Large blocks are aligned to the huge page and rounded up to whole
        // huge pages, so that all of them can be backed by huge pages.
        const std::size_t huge = std::size_t(2) << 20;
        const std::size_t align = bytes >= huge ? huge : 4096;
        bytes_ = (bytes + align - 1) / align * align;
        void* raw = mmap(nullptr, bytes_ + align, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (raw == MAP_FAILED) throw std::bad_alloc();
        auto* base = static_cast<std::uint8_t*>(raw);
        auto* start = reinterpret_cast<std::uint8_t*>((reinterpret_cast<std::uintptr_t>(base) + align - 1) & ~(align - 1));
        if (start > base) munmap(base, static_cast<std::size_t>(start - base));
        const std::size_t after = static_cast<std::size_t>(base + bytes_ + align - (start + bytes_));
        if (after) munmap(start + bytes_, after);
        madvise(start, bytes_, MADV_HUGEPAGE);
        data_ = start;
    }
    Block(Block&& other) noexcept { swap(other); }
    Block& operator=(Block&& other) noexcept {
        swap(other);
        return *this;
    }
    Block(const Block&) = delete;
    Block& operator=(const Block&) = delete;
    ~Block() {
        if (data_) munmap(data_, bytes_);
    }
    void swap(Block& other) noexcept {
        std::swap(data_, other.data_);
        std::swap(bytes_, other.bytes_);
    }
    std::uint8_t* data() const { return data_; }
    std::size_t bytes() const { return bytes_; }

private:
    std::uint8_t* data_ = nullptr;
    std::size_t bytes_ = 0;
};

// Fixed-size records in chunks, so that growing never copies what is stored.
class Arena {
public:
    explicit Arena(std::size_t stride) : stride_(stride) {}
    std::uint8_t* at(std::uint32_t i) { return chunks_[i >> ChunkShift].data() + (i & ChunkMask) * stride_; }
    std::uint32_t push(const std::uint8_t* record) {
        if ((size_ & ChunkMask) == 0) chunks_.emplace_back(stride_ << ChunkShift);
        std::memcpy(at(size_), record, stride_);
        return size_++;
    }
    std::uint32_t size() const { return size_; }
    std::uint64_t bytes() const { return static_cast<std::uint64_t>(chunks_.size()) * (stride_ << ChunkShift); }

private:
    static constexpr unsigned ChunkShift = 18;
    static constexpr std::uint32_t ChunkMask = (1u << ChunkShift) - 1;
    std::size_t stride_;
    std::uint32_t size_ = 0;
    std::vector<Block> chunks_;
};

inline std::uint64_t rotl(std::uint64_t x, int r) { return (x << r) | (x >> (64 - r)); }

inline std::uint64_t hashKey(const std::uint8_t* p, std::size_t n) {
    const std::uint64_t k1 = 0x9E3779B97F4A7C15ULL, k2 = 0xC2B2AE3D27D4EB4FULL;
    std::uint64_t h = k1 ^ n;
    while (n >= 8) {
        std::uint64_t w;
        std::memcpy(&w, p, 8);
        h = rotl(h ^ (w * k2), 31) * k1;
        p += 8;
        n -= 8;
    }
    std::uint64_t tail = 0;
    for (std::size_t i = 0; i < n; ++i) tail |= static_cast<std::uint64_t>(p[i]) << (8 * i);
    h = rotl(h ^ (tail * k2), 31) * k1;
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdULL;
    h ^= h >> 33;
    h *= 0xc4ceb9fe1a85ec53ULL;
    h ^= h >> 33;
    return h;
}

// The set of encoded states: open addressing over indices into the arena.
// A slot holds the index + 1 and the upper 32 bits of the key's hash, which
// also choose the slot, so growing never reads a key again.
class StateSet {
public:
    StateSet(Arena& arena, std::size_t keyBytes) : arena_(arena), keyBytes_(keyBytes) { resize(1u << 16); }

    std::uint64_t hash(const std::uint8_t* key) const { return hashKey(key, keyBytes_); }
    void prefetch(std::uint64_t h) const { __builtin_prefetch(&slots_[h >> shift_]); }

    // The index of `key` (whose hash is h), stored if new (`added` says so).
    std::uint32_t insert(const std::uint8_t* key, std::uint64_t h, bool& added) {
        const std::uint32_t tag = static_cast<std::uint32_t>(h >> 32);
        std::size_t i = h >> shift_;
        while (true) {
            const std::uint64_t slot = slots_[i];
            if (slot == 0) break;
            if (static_cast<std::uint32_t>(slot >> 32) == tag) {
                const std::uint32_t index = static_cast<std::uint32_t>(slot) - 1;
                if (std::memcmp(arena_.at(index), key, keyBytes_) == 0) {
                    added = false;
                    return index;
                }
            }
            i = (i + 1) & mask_;
        }
        const std::uint32_t index = arena_.push(key);
        slots_[i] = (static_cast<std::uint64_t>(tag) << 32) | (index + 1ull);
        added = true;
        if (++used_ * 2 > mask_ + 1) resize((mask_ + 1) * 2);
        return index;
    }

    std::uint64_t bytes() const { return (mask_ + 1) * sizeof(std::uint64_t); }

private:
    void resize(std::size_t size) {
        Block fresh(size * sizeof(std::uint64_t));
        fresh.swap(table_);
        const std::uint64_t* old = reinterpret_cast<const std::uint64_t*>(fresh.data());
        slots_ = reinterpret_cast<std::uint64_t*>(table_.data());
        const std::size_t previous = old ? mask_ + 1 : 0;
        mask_ = size - 1;
        shift_ = 64;
        for (std::size_t s = size; s > 1; s >>= 1) --shift_;
        for (std::size_t k = 0; k < previous; ++k) {
            const std::uint64_t slot = old[k];
            if (!slot) continue;
            std::size_t i = (slot & 0xFFFFFFFF00000000ULL) >> shift_;
            while (slots_[i]) i = (i + 1) & mask_;
            slots_[i] = slot;
        }
    }

    Arena& arena_;
    std::size_t keyBytes_;
    Block table_;
    std::uint64_t* slots_ = nullptr;
    std::size_t mask_ = 0;
    unsigned shift_ = 64;
    std::size_t used_ = 0;
};

template <typename T>
class ChunkedVector {
public:
    void push(T value) {
        if ((size_ & Mask) == 0) chunks_.emplace_back((Mask + 1) * sizeof(T));
        at(size_) = value;
        ++size_;
    }
    T operator[](std::uint32_t i) const { return const_cast<ChunkedVector*>(this)->at(i); }
    void set(std::uint32_t i, T value) { at(i) = value; }
    std::uint32_t size() const { return size_; }
    std::uint64_t bytes() const { return static_cast<std::uint64_t>(chunks_.size()) * (Mask + 1) * sizeof(T); }

private:
    T& at(std::uint32_t i) { return reinterpret_cast<T*>(chunks_[i >> Shift].data())[i & Mask]; }
    static constexpr unsigned Shift = 18;
    static constexpr std::uint32_t Mask = (1u << Shift) - 1;
    std::uint32_t size_ = 0;
    std::vector<Block> chunks_;
};

// How a state is written down. Only the cells that can change are kept:
// brick walls anywhere, and every cell of a stretch of water and floor that
// holds an object (objects move only over such cells, and only objects sink
// into water or leave scorch behind). The tank's own death is never stored.
class Model {
public:
    enum Kind : std::uint8_t { Brick, WaterCell, Floor, Fixed };

    struct KeptCell {
        std::uint8_t cell;  // y * 16 + x
        Kind kind;
        std::uint8_t bits;
        std::uint8_t objects;  // object values possible here, "none" included
        std::uint8_t terrains; // for Floor: 1, or 2 when scorch may appear
        std::uint8_t terrain;  // the terrain at the start
        std::uint32_t table;   // where its values start in decodeTable_
    };

    explicit Model(const Board& start) {
        const bool antiTanks = collectObjects(start);
        std::vector<bool> live;
        int component[256];
        findStretches(start, component, live);
        for (int i = 0; i < 256; ++i) {
            const bool isLive = component[i] >= 0 && live[component[i]];
            keepCell(i, start.cells[i / 16][i % 16], isLive, antiTanks);
        }
        keyBytes_ = 2 + (boardBits_ + 7) / 8;
    }

    std::size_t keyBytes() const { return keyBytes_; }

    static void writeTank(const Tank& tank, std::uint8_t* key) {
        key[0] = static_cast<std::uint8_t>(tank.x | (tank.y << 4));
        int facing = 0;
        if (tank.dx == 1) facing = 1;
        else if (tank.dy == 1) facing = 2;
        else if (tank.dx == -1) facing = 3;
        else if (tank.dy == -1) facing = 4;
        key[1] = static_cast<std::uint8_t>(facing);
    }

    static Tank readTank(const std::uint8_t* key) {
        static const int dxs[5] = {0, 1, 0, -1, 0}, dys[5] = {0, 0, 1, 0, -1};
        static const float angles[5] = {0, 0, 90, 180, 270};
        Tank tank;
        tank.x = key[0] & 15;
        tank.y = key[0] >> 4;
        tank.dx = dxs[key[1]];
        tank.dy = dys[key[1]];
        tank.angle = angles[key[1]];
        return tank;
    }

    // Writes the board part of a key; false when a cell holds something the
    // model did not foresee.
    bool writeBoard(const Board& b, std::uint8_t* key) const {
        std::uint8_t* out = key + 2;
        std::uint64_t acc = 0;
        int filled = 0;
        for (const KeptCell& s : kept_) {
            const Cell& c = b.cells[s.cell >> 4][s.cell & 15];
            const unsigned obj = objectIndex_[c.object];
            if (obj >= s.objects) return false;
            unsigned v;
            switch (s.kind) {
                case Brick:
                    if (c.terrain == BrickWall && c.object == 0 && c.state < BrickStages) v = c.state;
                    else if (c.terrain == Rubble && c.state == 0) v = BrickStages + obj;
                    else return false;
                    break;
                case WaterCell:
                    if (c.state != 0) return false;
                    if (c.terrain == Water && c.object == 0) v = 0;
                    else if (c.terrain == SunkBlock) v = 1 + obj;
                    else return false;
                    break;
                case Floor:
                    if (c.state != 0) return false;
                    if (c.terrain == Ground) v = obj;
                    else if (c.terrain == Scorch && s.terrains == 2) v = s.objects + obj;
                    else return false;
                    break;
                default:
                    if (c.state != 0 || c.terrain != s.terrain) return false;
                    v = obj;
                    break;
            }
            acc |= static_cast<std::uint64_t>(v) << filled;
            filled += s.bits;
            if (filled >= 32) {
                std::memcpy(out, &acc, 4);  // little-endian machines only, like the level file readers
                out += 4;
                acc >>= 32;
                filled -= 32;
            }
        }
        while (filled > 0) {
            *out++ = static_cast<std::uint8_t>(acc);
            acc >>= 8;
            filled -= 8;
        }
        return true;
    }

    // Rewrites the changeable cells of `b` from a key; the others keep
    // what `b` holds (the level's start).
    void readBoard(const std::uint8_t* key, Board& b) const {
        const std::uint8_t* in = key + 2;
        const std::uint8_t* end = key + keyBytes_;
        std::uint64_t acc = 0;
        int filled = 0;
        Cell* cells = &b.cells[0][0];
        for (const KeptCell& s : kept_) {
            if (filled < s.bits) {
                std::uint32_t word = 0;
                const std::size_t take = end - in < 4 ? static_cast<std::size_t>(end - in) : 4;
                std::memcpy(&word, in, take);
                in += take;
                acc |= static_cast<std::uint64_t>(word) << filled;
                filled += 32;
            }
            const unsigned v = static_cast<unsigned>(acc & ((1u << s.bits) - 1));
            acc >>= s.bits;
            filled -= s.bits;
            cells[s.cell] = decodeTable_[s.table + v];
        }
    }

    // The cell that value v of a kept cell stands for.
    Cell valueCell(const KeptCell& s, unsigned v) const {
        Cell c{s.terrain, 0, 0};
        switch (s.kind) {
            case Brick:
                if (v < static_cast<unsigned>(BrickStages)) {
                    c.terrain = BrickWall;
                    c.state = static_cast<std::uint8_t>(v);
                } else if (v - BrickStages < s.objects) {
                    c.terrain = Rubble;
                    c.object = objectCodes_[v - BrickStages];
                }
                break;
            case WaterCell:
                c.terrain = v == 0 ? Water : SunkBlock;
                if (v > 0 && v - 1 < s.objects) c.object = objectCodes_[v - 1];
                break;
            case Floor:
                c.terrain = v >= s.objects ? Scorch : Ground;
                c.object = objectCodes_[v % s.objects];
                break;
            default:
                if (v < s.objects) c.object = objectCodes_[v];
                break;
        }
        return c;
    }

private:
    // Numbers the objects of the start (0: none); true when any is an
    // anti-tank, whose shots leave scorch.
    bool collectObjects(const Board& start) {
        std::memset(objectIndex_, 0xFF, sizeof objectIndex_);
        objectIndex_[0] = 0;
        objectCodes_.push_back(0);
        bool antiTanks = false;
        for (int i = 0; i < 256; ++i) {
            const std::uint8_t o = start.cells[i / 16][i % 16].object;
            if (o && objectIndex_[o] == 0xFF) {
                objectIndex_[o] = static_cast<std::uint8_t>(objectCodes_.size());
                objectCodes_.push_back(o);
            }
            if (cellKind(o).sight == Sight::Watches) antiTanks = true;
        }
        return antiTanks;
    }

    // Terrain an object could ever stand on or sink into: one that takes
    // objects, or breaks into one that does.
    static bool open(const Board& start, int i) {
        const CellKind& kind = cellKind(start.cells[i / 16][i % 16].terrain);
        return kind.takes != Takes::Nothing || (kind.beam == BeamMeets::Breaks && cellKind(kind.becomes).takes != Takes::Nothing);
    }

    // Water no object can ever reach: objects stand only on dry cells and
    // sink into the water beside them, and only a block sinks to make a new
    // dry cell, so water more than (blocks + 1) cells of water away from the
    // nearest dry open cell stays as it is, and is left out of the state.
    static void findDeepWater(const Board& start, bool (&deep)[256]) {
        int blocks = 0, depth[256];
        std::vector<int> queue;
        for (int i = 0; i < 256; ++i) {
            if (start.cells[i / 16][i % 16].object == MovableBlock) ++blocks;
            const bool water = start.cells[i / 16][i % 16].terrain == Water;
            depth[i] = open(start, i) && !water ? 0 : -1;
            if (depth[i] == 0) queue.push_back(i);
        }
        for (std::size_t q = 0; q < queue.size(); ++q) {
            const int c = queue[q], x = c % 16, y = c / 16;
            const int next[4][2] = {{x + 1, y}, {x - 1, y}, {x, y + 1}, {x, y - 1}};
            for (const auto& n : next) {
                if (!onBoard(n[0], n[1])) continue;
                const int j = n[1] * 16 + n[0];
                if (depth[j] >= 0 || start.cells[n[1]][n[0]].terrain != Water) continue;
                depth[j] = depth[c] + 1;
                queue.push_back(j);
            }
        }
        for (int i = 0; i < 256; ++i) deep[i] = depth[i] < 0 || depth[i] > blocks + 1;
    }

    // The stretches of cells that objects could ever cross: `component`
    // numbers each cell's stretch (-1: none), `live` says which hold an object.
    static void findStretches(const Board& start, int (&component)[256], std::vector<bool>& live) {
        bool deep[256];
        findDeepWater(start, deep);
        const auto open = [&](const Board& b, int i) { return Model::open(b, i) && !deep[i]; };
        for (int& c : component) c = -1;
        for (int i = 0; i < 256; ++i) {
            if (!open(start, i) || component[i] >= 0) continue;
            const int id = static_cast<int>(live.size());
            bool hasObject = false;
            std::vector<int> stack{i};
            component[i] = id;
            while (!stack.empty()) {
                const int c = stack.back();
                stack.pop_back();
                if (start.cells[c / 16][c % 16].object) hasObject = true;
                const int x = c % 16, y = c / 16;
                const int next[4][2] = {{x + 1, y}, {x - 1, y}, {x, y + 1}, {x, y - 1}};
                for (const auto& n : next) {
                    if (!onBoard(n[0], n[1])) continue;
                    const int j = n[1] * 16 + n[0];
                    if (open(start, j) && component[j] < 0) {
                        component[j] = id;
                        stack.push_back(j);
                    }
                }
            }
            live.push_back(hasObject);
        }
    }

    // Keeps cell i in the key when it can change, with as many bits as its
    // possible values need.
    void keepCell(int i, const Cell& cell, bool isLive, bool antiTanks) {
        const int objectCount = static_cast<int>(objectCodes_.size());
        KeptCell s{static_cast<std::uint8_t>(i), Fixed, 0, static_cast<std::uint8_t>(isLive ? objectCount : 1), 1,
                   cell.terrain, 0};
        int count = 1;
        if (cell.terrain == BrickWall) {
            s.kind = Brick;
            count = BrickStages + s.objects;
        } else if (!isLive) {
            return;
        } else if (cell.terrain == Water) {
            s.kind = WaterCell;
            count = 1 + s.objects;
        } else if (cell.terrain == Ground) {
            s.kind = Floor;
            s.terrains = antiTanks ? 2 : 1;
            count = s.terrains * s.objects;
        } else {
            s.kind = Fixed;
            count = s.objects;
        }
        while ((1 << s.bits) < count) ++s.bits;
        if (s.bits == 0) return;
        s.table = static_cast<std::uint32_t>(decodeTable_.size());
        for (unsigned v = 0; v < (1u << s.bits); ++v) decodeTable_.push_back(valueCell(s, v));
        kept_.push_back(s);
        boardBits_ += s.bits;
    }

    std::vector<KeptCell> kept_;
    std::vector<Cell> decodeTable_;
    std::uint8_t objectIndex_[256];
    std::vector<std::uint8_t> objectCodes_;
    int boardBits_ = 0;
    std::size_t keyBytes_ = 2;
};

}  // namespace

// Plays press p on the solver's own game, as the key handler plays its key
// on the playing screen while the level is in play.
void playPress(Game& g, int press) { playKey(g, pressKeys[press]); }

// A game of the solver's own, never drawn, with level `index` in play as the
// replay's --start puts it: level 0 first, then the chosen one, so a level
// without a tank start finds the tank where level 0 put it.
Game startOwnGame(const std::uint8_t* records, int count, int index) {
    Game g;
    setLevels(g.levels, records, count);
    startLevel(g, 0);
    startLevel(g, index);
    g.play.screen = Playing;
    return g;
}

namespace {

// One breadth-first search from the level on the game's board, in the order
// the states are found, so that the first win met is a shortest one.
class Search {
public:
    Search(Game& g, const Limits& limits, bool exploring = false)
        : g_(g), maxStates_(limits.maxStates), forbid_(limits.forbid), maxPresses_(limits.maxPresses),
          exploring_(exploring), start_(g.play), model_(start_.board), keyBytes_(model_.keyBytes()), arena_(keyBytes_),
          set_(arena_, keyBytes_), key_(keyBytes_ + 8), scratchKey_(keyBytes_ + 8), children_(PressCount * keyBytes_),
          parent_(start_), check_(start_.board) {
        result_.stateBytes = static_cast<int>(keyBytes_);
    }

    Result run() {
        advance(~std::uint64_t(0));
        return result_;
    }

    // Expands at most `count` more states; true when the search has ended
    // (result() then holds its answer). Between calls the game's state may
    // be anything: each call starts from the stored states alone.
    bool advance(std::uint64_t count) {
        if (done_) return true;
        if (!started_) {
            started_ = true;
            if (!storeStart()) return done_ = true;
            depthStarts_.push_back(0);
        }
        boardIsParent_ = false;
        for (; count > 0 && next_ < arena_.size(); --count) {
            if (next_ == depthEnd_) {
                depthStarts_.push_back(next_);
                depthEnd_ = arena_.size();
            }
            if (maxPresses_ >= 0 && static_cast<int>(depthStarts_.size()) - 1 >= maxPresses_) {
                result_.pressLimited = true;
                break;
            }
            if (expand(next_++)) return done_ = true;
        }
        if (next_ < arena_.size() && !result_.pressLimited) return false;
        finish(Status::Unsolvable);
        return done_ = true;
    }

    const Result& result() const { return result_; }
    std::uint64_t stored() const { return done_ ? result_.states : arena_.size(); }

    // The whole search with every edge kept, then what the edges tell.
    Exploration explore() {
        run();
        return figures();
    }

    // What the edges tell, once an exploring search has ended.
    Exploration figures() {
        Exploration e;
        e.states = result_.states;
        e.error = result_.error;
        e.capped = result_.status == Status::Unknown;
        e.winnable = winFound_;
        std::memcpy(e.touchedCells, touched_, sizeof touched_);
        const std::uint32_t n = arena_.size();
        for (std::uint32_t i = 0; i < n; ++i) e.tankCells[arena_.at(i)[0]] = true;
        if (e.capped) return e;
        // Winnable states, from the winning ones back along reversed edges.
        std::vector<std::uint32_t> firstIn(n + 1, 0), from(edges_.size());
        for (std::uint32_t k = 0; k < edges_.size(); ++k)
            if (edges_[k] < n) ++firstIn[edges_[k] + 1];
        for (std::uint32_t i = 0; i < n; ++i) firstIn[i + 1] += firstIn[i];
        std::vector<std::uint32_t> fill(firstIn.begin(), firstIn.end() - 1);
        for (std::uint32_t k = 0; k < edges_.size(); ++k)
            if (edges_[k] < n) from[fill[edges_[k]]++] = k / PressCount;
        std::vector<bool> live(n, false);
        std::vector<std::uint32_t> queue;
        for (std::uint32_t k = 0; k < edges_.size(); ++k)
            if (edges_[k] == WinEdge && !live[k / PressCount]) {
                live[k / PressCount] = true;
                queue.push_back(k / PressCount);
            }
        for (std::size_t q = 0; q < queue.size(); ++q)
            for (std::uint32_t k = firstIn[queue[q]]; k < firstIn[queue[q] + 1]; ++k)
                if (!live[from[k]]) {
                    live[from[k]] = true;
                    queue.push_back(from[k]);
                }
        int depth = 0;
        for (std::uint32_t i = 0; i < n; ++i) {
            while (depth + 1 < static_cast<int>(depthStarts_.size()) && depthStarts_[depth + 1] <= i) ++depth;
            if (live[i]) continue;
            ++e.dead;
            if (e.fewestToDead < 0) e.fewestToDead = depth;
        }
        for (int p = 0; p < PressCount && edges_.size() >= PressCount; ++p)
            if (edges_[p] == WinEdge || (edges_[p] < n && live[edges_[p]])) ++e.firstWinnable;
        return e;
    }

private:
    enum class Step { Nothing, NewKey, Ended };

    // The start as state 0; false (with the error) when it does not fit the
    // model.
    bool storeStart() {
        Model::writeTank(start_.tank, key_.data());
        if (!model_.writeBoard(start_.board, key_.data())) {
            result_.error = "the level's start does not fit the search's model";
            return false;
        }
        bool added = false;
        set_.insert(key_.data(), set_.hash(key_.data()), added);
        parents_.push(0);
        presses_.push(0);
        return true;
    }

    // Tries the five presses from state i, then stores the new states they
    // lead to. The children are written first and looked up after, so that
    // their slots can be fetched from memory meanwhile. True when the search
    // has ended.
    bool expand(std::uint32_t i) {
        loadState(i);
        ++result_.expanded;
        int childCount = 0;
        for (int p = 0; p < PressCount; ++p) edgeRow_[p] = NoEdge;
        for (int p = 0; p < PressCount; ++p) {
            std::uint8_t* child = &children_[childCount * keyBytes_];
            const Step step = tryPress(i, p, child);
            if (step == Step::Ended) return true;
            if (step == Step::Nothing) continue;
            childHashes_[childCount] = set_.hash(child);
            set_.prefetch(childHashes_[childCount]);
            childPresses_[childCount++] = p;
        }
        if (childCount == 0 && exploring_)
            for (int p = 0; p < PressCount; ++p) edges_.push(edgeRow_[p]);
        return storeChildren(i, childCount);
    }

    // State i into key_, and decoded into parent_. States found together
    // mostly share their board: it is decoded only when it differs from the
    // one decoded last.
    void loadState(std::uint32_t i) {
        const std::uint8_t* stored = arena_.at(i);
        const bool sameBoard = i > 0 && std::memcmp(stored + 2, key_.data() + 2, keyBytes_ - 2) == 0;
        std::memcpy(key_.data(), stored, keyBytes_);
        parent_.tank = Model::readTank(key_.data());
        if (!sameBoard) {
            model_.readBoard(key_.data(), parent_.board);
            boardIsParent_ = false;
        }
    }

    // Plays press p from state i (in key_), and writes the key of the state
    // it leads to into `child`.
    Step tryPress(std::uint32_t i, int p, std::uint8_t* child) {
        restoreParent();
        playPress(g_, p);
        if (g_.play.outcome == Won) {
            if (exploring_) {
                winFound_ = true;
                edgeRow_[p] = WinEdge;
                touched_[(g_.play.tank.y + g_.play.tank.dy) * 16 + g_.play.tank.x + g_.play.tank.dx] = true;
                return Step::Nothing;
            }
            result_.path = pathTo(i, p);
            finish(Status::Solved);
            return Step::Ended;
        }
        if (g_.play.outcome == Lost) {
            boardIsParent_ = false;
            return Step::Nothing;
        }
        if (forbid_ && (mechanics::classify(start_.board, parent_.board, parent_.tank, p, g_.play.board, g_.play.tank) &
                        forbid_)) {
            boardIsParent_ = false;
            return Step::Nothing;
        }
        std::memcpy(child, key_.data(), keyBytes_);
        Model::writeTank(g_.play.tank, child);
        if (std::memcmp(&g_.play.board, &parent_.board, sizeof g_.play.board) != 0) {
            boardIsParent_ = false;
            if (exploring_) markChanged();
            if (!writeChildBoard(child)) {
                result_.error = "a board state outside the search's model (after " + tokens(pathTo(i, p)) + ")";
                finish(Status::Unknown);
                return Step::Ended;
            }
        } else if (child[0] == key_[0] && child[1] == key_[1]) {
            return Step::Nothing;  // nothing changed
        }
        return Step::NewKey;
    }

    // The game's state back to parent_. Most presses leave the board alone,
    // so it is copied only when the last press changed it; a press changes
    // nothing else but the tank, the screen and the outcome.
    void restoreParent() {
        if (!boardIsParent_) {
            g_.play = parent_;
            boardIsParent_ = true;
            return;
        }
        g_.play.tank = parent_.tank;
        g_.play.screen = parent_.screen;
        g_.play.outcome = parent_.outcome;
    }

    // The cells where the game's board differs from the start.
    void markChanged() {
        const Cell* now = &g_.play.board.cells[0][0];
        const Cell* was = &start_.board.cells[0][0];
        for (int c = 0; c < 256; ++c)
            if (now[c].terrain != was[c].terrain || now[c].object != was[c].object) touched_[c] = true;
    }

    // The game's changed board into `child`; false unless the key gives back
    // exactly this board.
    bool writeChildBoard(std::uint8_t* child) {
        if (!model_.writeBoard(g_.play.board, scratchKey_.data())) return false;
        std::memcpy(child + 2, scratchKey_.data() + 2, keyBytes_ - 2);
        model_.readBoard(child, check_);
        return std::memcmp(&g_.play.board, &check_, sizeof g_.play.board) == 0;
    }

    // Stores the children of state i not seen before; true when the state
    // limit ends the search.
    bool storeChildren(std::uint32_t i, int childCount) {
        bool added = false;
        for (int c = 0; c < childCount; ++c) {
            const std::uint32_t index = set_.insert(&children_[c * keyBytes_], childHashes_[c], added);
            edgeRow_[childPresses_[c]] = index;
            if (c == childCount - 1 && exploring_)
                for (int p = 0; p < PressCount; ++p) edges_.push(edgeRow_[p]);
            if (!added) continue;
            parents_.push(i);
            presses_.push(static_cast<std::uint8_t>(childPresses_[c]));
            if (arena_.size() > maxStates_) {
                finish(Status::Unknown);
                result_.states = maxStates_;
                return true;
            }
        }
        return false;
    }

    // The presses from the start to state i, then `lastPress`.
    std::vector<std::uint8_t> pathTo(std::uint32_t i, int lastPress) const {
        std::vector<std::uint8_t> path{static_cast<std::uint8_t>(lastPress)};
        while (i != 0) {
            path.push_back(presses_[i]);
            i = parents_[i];
        }
        return std::vector<std::uint8_t>(path.rbegin(), path.rend());
    }

    void finish(Status status) {
        result_.status = status;
        result_.states = arena_.size();
        result_.peakBytes = arena_.bytes() + set_.bytes() + parents_.bytes() + presses_.bytes();
        g_.play = start_;
    }

    Game& g_;
    static constexpr std::uint32_t NoEdge = 0xFFFFFFFF, WinEdge = 0xFFFFFFFE;

    const std::uint64_t maxStates_;
    const std::uint16_t forbid_;
    const int maxPresses_;
    const bool exploring_;
    std::vector<std::uint32_t> depthStarts_;  // the first state found at each depth
    std::uint32_t edgeRow_[PressCount];
    ChunkedVector<std::uint32_t> edges_;  // when exploring: per state, per press, the state it leads to
    bool touched_[256] = {};
    bool winFound_ = false;
    const PlayState start_;  // the level as entered: playing, in play
    const Model model_;
    const std::size_t keyBytes_;
    Arena arena_;
    StateSet set_;
    ChunkedVector<std::uint32_t> parents_;
    ChunkedVector<std::uint8_t> presses_;
    std::vector<std::uint8_t> key_, scratchKey_;
    std::vector<std::uint8_t> children_;
    std::uint64_t childHashes_[PressCount];
    int childPresses_[PressCount];
    PlayState parent_;  // the state the presses of the state in key_ start from
    Board check_;
    bool boardIsParent_ = false;  // does the game's board hold parent_'s now?
    Result result_;
    std::uint32_t next_ = 0;  // the next state to expand
    std::uint32_t depthEnd_ = 1;  // the first state of the next depth, once met
    bool started_ = false, done_ = false;
};

}  // namespace

const char* pressName(int press) { return press >= 0 && press < PressCount ? pressNames[press] : "?"; }
int pressKey(int press) { return press >= 0 && press < PressCount ? pressKeys[press] : 0; }

std::string tokens(const std::vector<std::uint8_t>& path) {
    std::string out;
    for (std::uint8_t p : path) {
        if (!out.empty()) out += ' ';
        out += pressName(p);
    }
    return out;
}

Result searchGame(Game& g, const Limits& limits) { return Search(g, limits).run(); }

Exploration exploreGame(Game& g, std::uint64_t maxStates) {
    Limits limits;
    limits.maxStates = maxStates;
    return Search(g, limits, true).explore();
}

namespace {

// A copy of a game (the window's), never drawn and with no redraw: a search
// on it leaves the original, its screen, conveniences and input alone.
Game aside(const Game& from) {
    Game g = from;
    g.display = nullptr;
    g.redraw = nullptr;
    return g;
}

}  // namespace

Result searchInPlay(const Limits& limits) {
    Game g = aside(game());
    return searchGame(g, limits);
}

Exploration exploreInPlay(std::uint64_t maxStates) {
    Game g = aside(game());
    return exploreGame(g, maxStates);
}

// The stepped search plays a copy of the game it starts from.
struct Stepper::Impl {
    Impl(const Limits& limits, const Game& from, bool exploring) : g(from), search(g, limits, exploring) {}
    Game g;
    Search search;
};

namespace {

Limits statesLimit(std::uint64_t maxStates) {
    Limits limits;
    limits.maxStates = maxStates;
    return limits;
}

}  // namespace

Stepper::Stepper(const Game& from, std::uint64_t maxStates, bool exploring) {
    impl_ = std::make_unique<Impl>(statesLimit(maxStates), aside(from), exploring);
}

Exploration Stepper::exploration() { return impl_->search.figures(); }

std::uint64_t Stepper::states() const { return impl_->search.stored(); }

Stepper::~Stepper() = default;

bool Stepper::advance(std::uint64_t expansions) { return impl_->search.advance(expansions); }

const Result& Stepper::result() const { return impl_->search.result(); }

namespace {

// The hints' view of a stepped search.
class HintSearch : public guide::Search {
public:
    HintSearch(const Game& from, std::uint64_t maxStates, bool exploring)
        : stepper_(from, maxStates, exploring), exploring_(exploring) {}
    bool advance(std::uint64_t states) override {
        const bool ended = stepper_.advance(states);
        if (ended && exploring_ && !explored_) {
            explored_ = true;
            figures_ = stepper_.exploration();
        }
        return ended;
    }
    std::uint64_t states() const override { return stepper_.states(); }
    int fewestToLoss() const override { return figures_.fewestToDead; }
    int firstKeepingWin() const override { return figures_.firstWinnable; }
    Answer answer() const override {
        const Result& r = stepper_.result();
        if (exploring_) return r.status == Status::Unknown ? GaveUp : figures_.winnable ? Found : NoWin;
        return r.status == Status::Solved ? Found : r.status == Status::Unsolvable ? NoWin : GaveUp;
    }
    std::vector<int> keys() const override {
        std::vector<int> out;
        for (std::uint8_t p : stepper_.result().path) out.push_back(pressKey(p));
        return out;
    }

private:
    Stepper stepper_;
    const bool exploring_ = false;
    bool explored_ = false;
    Exploration figures_;
};

std::unique_ptr<guide::Search> startHintSearch(const guide::SearchRequest& request) {
    return std::make_unique<HintSearch>(request.from ? *request.from : game(), request.maxStates,
                                        request.explore);
}

}  // namespace

void connectHints() { guide::connectSearch(startHintSearch); }

}  // namespace solver
