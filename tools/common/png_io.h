// Reading and writing PNG files for the art tools and the replay, through stb.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace art {

struct RgbaImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;  // red, green, blue, alpha; rows top first
};

// A PNG file read whole, its size taken from its header, not yet decoded.
struct PngFile {
    std::string path;
    std::string bytes;
    int width = 0;
    int height = 0;
};

// Reads the file and its header only, so that a caller can refuse a wrong
// size before the pixels take any memory. On failure returns false and says
// why in `error`, which names the file.
bool readPngHeader(const std::string& path, PngFile& file, std::string& error);
// Decodes a file read by readPngHeader into 8-bit RGBA (grey and RGB files
// get alpha 255); false with a message naming the file.
bool decodePng(const PngFile& file, RgbaImage& image, std::string& error);
// Both: any PNG stb understands into 8-bit RGBA.
bool readPng(const std::string& path, RgbaImage& image, std::string& error);

// Writes `pixels` (channels 3: red, green, blue; 4: red, green, blue, alpha)
// as a PNG file. On failure returns false with a message naming the file.
bool writePng(const std::string& path, int width, int height, int channels,
              const std::uint8_t* pixels, std::string& error);

// The packs and the screen buffer keep a pixel blue, green, red[, alpha];
// PNG files red, green, blue[, alpha]. Copies `count` pixels of `inChannels`
// bytes to pixels of `outChannels` bytes (3 or 4 each), turning one order
// into the other: the first and third bytes change places, alpha is copied
// (255 when the input has none).
void swapColourOrder(const std::uint8_t* in, int inChannels, std::uint8_t* out, int outChannels, std::size_t count);

// writePng for pixels kept blue, green, red[, alpha].
bool writeBgrPng(const std::string& path, int width, int height, int channels,
                 const std::uint8_t* pixels, std::string& error);

}  // namespace art
