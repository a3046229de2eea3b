// The game's icon at the sizes a desktop asks for, from its drawn 48-pixel
// picture.
#pragma once

#include <cstdint>
#include <vector>

namespace icon {

constexpr int SourceSide = 48;

// The icon `size` pixels square (24 or more) as RGBA: the 24-pixel picture
// the 48-pixel `source` (RGBA) holds twice enlarged, enlarged by the largest
// whole factor that fits, centred on transparency.
std::vector<std::uint8_t> atSize(const std::uint8_t* source, int size);

}  // namespace icon
