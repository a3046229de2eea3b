// Reading and writing PNG files through stb.
#include "tools/common/png_io.h"

#include <cstring>

#include "stb_image.h"
#include "stb_image_write.h"
#include "common/files.h"

namespace art {

bool readPngHeader(const std::string& path, PngFile& file, std::string& error) {
    file.path = path;
    if (!common::readFile(path, file.bytes, error)) return false;
    static const char signature[8] = {'\x89', 'P', 'N', 'G', '\r', '\n', '\x1A', '\n'};
    int channels = 0;
    if (file.bytes.size() < 8 || std::memcmp(file.bytes.data(), signature, 8) != 0 ||
        !stbi_info_from_memory(reinterpret_cast<const stbi_uc*>(file.bytes.data()), static_cast<int>(file.bytes.size()),
                               &file.width, &file.height, &channels)) {
        error = path + ": not a PNG file";
        return false;
    }
    return true;
}

bool decodePng(const PngFile& file, RgbaImage& image, std::string& error) {
    int width = 0, height = 0, channels = 0;
    stbi_uc* data = stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(file.bytes.data()),
                                          static_cast<int>(file.bytes.size()), &width, &height, &channels, 4);
    if (!data) {
        const char* reason = stbi_failure_reason();
        error = file.path + ": cannot decode PNG (" + (reason ? reason : "unknown reason") + ")";
        return false;
    }
    image.width = width;
    image.height = height;
    image.pixels.assign(data, data + static_cast<std::size_t>(width) * height * 4);
    stbi_image_free(data);
    return true;
}

bool readPng(const std::string& path, RgbaImage& image, std::string& error) {
    PngFile file;
    return readPngHeader(path, file, error) && decodePng(file, image, error);
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
