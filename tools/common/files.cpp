// Whole files in and out for every tool.
#include "tools/common/files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "assets/data_file.h"

namespace common {

bool readFile(const std::string& path, std::string& bytes, std::string& error, std::size_t limit) {
    bytes.clear();
    std::size_t size = 0;
    std::string reason;
    std::FILE* file = openDataFile(path, size, reason);
    if (!file) {
        error = path + ": cannot open (" + reason + ")";
        return false;
    }
    if (size > limit) {
        std::fclose(file);
        error = path + ": " + std::to_string(size) + " bytes, more than the limit of " + std::to_string(limit >> 20) +
                " MiB";
        return false;
    }
    // No more than the size taken at the open, should the file grow.
    bytes.resize(size);
    const std::size_t got = size ? std::fread(&bytes[0], 1, size, file) : 0;
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    bytes.resize(got);
    if (failed) {
        error = path + ": read error";
        return false;
    }
    return true;
}

bool writeFile(const std::string& path, const std::string& bytes, std::string& error) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        error = path + ": cannot create (" + std::strerror(errno) + ")";
        return false;
    }
    errno = 0;
    const bool wrote = (bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size()) &&
                       std::fflush(file) == 0;
    const int writeErrno = errno;
    const bool closed = std::fclose(file) == 0;
    if (!wrote || !closed) {
        const int why = writeErrno ? writeErrno : errno;
        error = path + ": write error" + (why ? std::string(" (") + std::strerror(why) + ")" : std::string());
        return false;
    }
    return true;
}

std::string joinPath(const std::string& dir, const std::string& name) {
    return (std::filesystem::path(dir) / name).string();
}

bool makeFolders(const std::string& path, std::string& error) {
    std::error_code ec;
    std::filesystem::create_directories(path, ec);
    if (ec) {
        error = path + ": cannot create folder (" + ec.message() + ")";
        return false;
    }
    return true;
}

}  // namespace common
