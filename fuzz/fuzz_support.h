// What the fuzz targets share: reading an input, synthetic packs, event scripts, a scratch folder.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/headless.h"

namespace fuzz {

// The fuzz bytes read front to back; past the end every byte reads 0.
class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool empty() const { return pos_ >= size_; }
    std::size_t left() const { return size_ - pos_; }
    std::uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    // Up to `n` bytes, as many as are left.
    std::string take(std::size_t n);
    std::string rest() { return take(left()); }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

// Every block of both packs filled with a pattern of its own (partly
// transparent sprites included), straight into the loaded packs; then the
// sprite set.
void fillSyntheticPacks();
// The whole pack file of those pictures, pack 1 or 2.
std::string syntheticPack(int pack);

// A folder of this process under the system's temporary folder, made on the
// first call and removed when the process ends.
const std::string& scratchDir();
bool writeBytes(const std::string& path, const std::string& bytes);

// One event of a script: a key press, release or repeat, a click anywhere
// near the window with any button. `joined` tells that the next event
// arrives in the same group.
headless::Event nextEvent(Input& in, bool& joined);

// Plays the rest of `in` as event groups, each delivered through one
// main-loop redraw, checking the play state after each. False when the game
// quit.
bool playScript(Input& in);

// Traps unless the play state is one the game can be in: a known screen, the
// level within the loaded ones, the page that level's, the tank on the board.
void checkPlayState();

}  // namespace fuzz
