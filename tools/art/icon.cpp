// The desktop icon at larger sizes, pixel for pixel from its 48-pixel source.
#include "tools/art/icon.h"

#include <vector>

#include "tools/common/png_io.h"

namespace art {

bool writeIconAtSize(const std::string& from, int size, const std::string& out, std::string& error) {
    RgbaImage source;
    if (!readPng(from, source, error)) return false;
    if (source.width != 48 || source.height != 48) {
        error = from + ": the icon is " + std::to_string(source.width) + "x" + std::to_string(source.height) +
                ", not 48x48";
        return false;
    }
    const int factor = size / 24;
    if (factor < 1) {
        error = "an icon of " + std::to_string(size) + " pixels is smaller than its 24-pixel picture";
        return false;
    }
    const int margin = (size - 24 * factor) / 2;
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(size) * size * 4, 0);
    for (int y = 0; y < 24 * factor; ++y)
        for (int x = 0; x < 24 * factor; ++x) {
            // Each picture pixel is a 2x2 square of the source.
            const std::size_t in = (static_cast<std::size_t>(y / factor * 2) * 48 + x / factor * 2) * 4;
            const std::size_t at = (static_cast<std::size_t>(y + margin) * size + x + margin) * 4;
            for (int c = 0; c < 4; ++c) pixels[at + c] = source.pixels[in + c];
        }
    return writePng(out, size, size, 4, pixels.data(), error);
}

}  // namespace art
