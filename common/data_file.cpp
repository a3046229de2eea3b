// Opening a data file for reading: regular files only, never a folder or a device.
#include "common/data_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

const char* notRegular(mode_t mode) {
    if (S_ISDIR(mode)) return "is a folder";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "is a device, not a regular file";
    if (S_ISFIFO(mode)) return "is a pipe, not a regular file";
    return "is not a regular file";
}

}  // namespace

std::FILE* openDataFile(const std::string& path, std::size_t& bytes, std::string& error) {
    // Without O_NONBLOCK, opening a pipe would wait for a writer.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        error = std::strerror(errno);
        return nullptr;
    }
    struct stat st;
    const bool known = fstat(fd, &st) == 0;
    if (!known || !S_ISREG(st.st_mode)) {
        error = known ? notRegular(st.st_mode) : std::strerror(errno);
        close(fd);
        return nullptr;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    std::FILE* file = fdopen(fd, "rb");
    if (!file) {
        error = std::strerror(errno);
        close(fd);
        return nullptr;
    }
    bytes = static_cast<std::size_t>(st.st_size);
    return file;
}
