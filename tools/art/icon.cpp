// The desktop icon at larger sizes, pixel for pixel from its 48-pixel source.
#include "tools/art/icon.h"

#include <vector>

#include "assets/icon.h"
#include "common/files.h"
#include "tools/common/png_io.h"

namespace art {

namespace {

bool readIcon(const std::string& from, RgbaImage& source, std::string& error) {
    if (!readPng(from, source, error)) return false;
    if (source.width != 48 || source.height != 48) {
        error = from + ": the icon is " + std::to_string(source.width) + "x" + std::to_string(source.height) +
                ", not 48x48";
        return false;
    }
    return true;
}

}  // namespace

bool writeIconAtSize(const std::string& from, int size, const std::string& out, std::string& error) {
    RgbaImage source;
    if (!readIcon(from, source, error)) return false;
    const int factor = size / 24;
    if (factor < 1) {
        error = "an icon of " + std::to_string(size) + " pixels is smaller than its 24-pixel picture";
        return false;
    }
    const std::vector<std::uint8_t> pixels = icon::atSize(source.pixels.data(), size);
    return writePng(out, size, size, 4, pixels.data(), error);
}

bool writeIconSource(const std::string& from, const std::string& name, const std::string& out, std::string& error) {
    RgbaImage source;
    if (!readIcon(from, source, error)) return false;
    std::string text = "// Written by brimvale-tool icon --source from " + from + ".\n";
    text += "extern const unsigned char " + name + "[48 * 48 * 4];\n";
    text += "const unsigned char " + name + "[48 * 48 * 4] = {";
    for (std::size_t i = 0; i < source.pixels.size(); ++i) {
        text += i % 24 == 0 ? "\n   " : "";
        text += " " + std::to_string(source.pixels[i]) + ",";
    }
    text += "\n};\n";
    return common::writeFile(out, text, error);
}

}  // namespace art
