#include "tools/art/png_io.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "stb_image.h"
#include "stb_image_write.h"

bool readFileBytes(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error) {
    bytes.clear();
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        error = path + ": cannot open (" + std::strerror(errno) + ")";
        return false;
    }
    std::uint8_t chunk[65536];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.insert(bytes.end(), chunk, chunk + got);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        error = path + ": read error";
        return false;
    }
    return true;
}

bool writeFileBytes(const std::string& path, const std::uint8_t* data, std::size_t size, std::string& error) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        error = path + ": cannot create (" + std::strerror(errno) + ")";
        return false;
    }
    const bool wrote = size == 0 || std::fwrite(data, 1, size, file) == size;
    const bool closed = std::fclose(file) == 0;
    if (!wrote || !closed) {
        error = path + ": write error";
        return false;
    }
    return true;
}

bool readPng(const std::string& path, RgbaImage& image, std::string& error) {
    std::vector<std::uint8_t> bytes;
    if (!readFileBytes(path, bytes, error)) return false;
    static const std::uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (bytes.size() < 8 || std::memcmp(bytes.data(), signature, 8) != 0) {
        error = path + ": not a PNG file";
        return false;
    }
    int width = 0, height = 0, channels = 0;
    stbi_uc* data = stbi_load_from_memory(bytes.data(), static_cast<int>(bytes.size()), &width, &height, &channels, 4);
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
void appendToVector(void* context, void* data, int size) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(context);
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    out->insert(out->end(), bytes, bytes + size);
}
}  // namespace

bool writePng(const std::string& path, int width, int height, int channels, const std::uint8_t* pixels,
              std::string& error) {
    std::vector<std::uint8_t> encoded;
    if (!stbi_write_png_to_func(appendToVector, &encoded, width, height, channels, pixels, width * channels)) {
        error = path + ": cannot encode PNG";
        return false;
    }
    return writeFileBytes(path, encoded.data(), encoded.size(), error);
}
