// The game's icon at larger sizes, pixel for pixel from its 48-pixel source.
#include "assets/icon.h"

namespace icon {

std::vector<std::uint8_t> atSize(const std::uint8_t* source, int size) {
    const int factor = size / 24;
    const int margin = (size - 24 * factor) / 2;
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(size) * size * 4, 0);
    for (int y = 0; y < 24 * factor; ++y)
        for (int x = 0; x < 24 * factor; ++x) {
            // Each picture pixel is a 2x2 square of the source.
            const std::size_t in = (static_cast<std::size_t>(y / factor * 2) * SourceSide + x / factor * 2) * 4;
            const std::size_t at = (static_cast<std::size_t>(y + margin) * size + x + margin) * 4;
            for (int c = 0; c < 4; ++c) pixels[at + c] = source[in + c];
        }
    return pixels;
}

}  // namespace icon
