// Reading and writing PNG files through stb.
#include "tools/common/png_io.h"

#include <cstring>

#include "stb_image.h"
#include "stb_image_write.h"
#include "tools/common/files.h"

namespace art {

bool readPng(const std::string& path, RgbaImage& image, std::string& error) {
    std::string bytes;
    if (!common::readFile(path, bytes, error)) return false;
    static const char signature[8] = {'\x89', 'P', 'N', 'G', '\r', '\n', '\x1A', '\n'};
    if (bytes.size() < 8 || std::memcmp(bytes.data(), signature, 8) != 0) {
        error = path + ": not a PNG file";
        return false;
    }
    int width = 0, height = 0, channels = 0;
    stbi_uc* data = stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(bytes.data()),
                                          static_cast<int>(bytes.size()), &width, &height, &channels, 4);
    if (!data) {
        const char* reason = stbi_failure_reason();
        error = path + ": cannot decode PNG (" + (reason ? reason : "unknown reason") + ")";
        return false;
    }
    image.width = width;
    image.height = height;
    image.pixels.assign(data, data + static_cast<std::size_t>(width) * height * 4);
    stbi_image_free(data);
    return true;
}

namespace {
void appendToString(void* context, void* data, int size) {
    static_cast<std::string*>(context)->append(static_cast<const char*>(data), static_cast<std::size_t>(size));
}
}  // namespace

bool writePng(const std::string& path, int width, int height, int channels, const std::uint8_t* pixels,
              std::string& error) {
    std::string encoded;
    if (!stbi_write_png_to_func(appendToString, &encoded, width, height, channels, pixels, width * channels)) {
        error = path + ": cannot encode PNG";
        return false;
    }
    return common::writeFile(path, encoded, error);
}

void swapColourOrder(const std::uint8_t* in, int inChannels, std::uint8_t* out, int outChannels, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i, in += inChannels, out += outChannels) {
        out[0] = in[2];
        out[1] = in[1];
        out[2] = in[0];
        if (outChannels == 4) out[3] = inChannels == 4 ? in[3] : 255;
    }
}

bool writeBgrPng(const std::string& path, int width, int height, int channels, const std::uint8_t* pixels,
                 std::string& error) {
    const std::size_t count = static_cast<std::size_t>(width) * height;
    std::vector<std::uint8_t> rgb(count * channels);
    swapColourOrder(pixels, channels, rgb.data(), channels, count);
    return writePng(path, width, height, channels, rgb.data(), error);
}

}  // namespace art
