// Whole files in and out for every tool.
#include "common/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "common/data_file.h"

namespace common {

bool readFile(const std::string& path, std::string& bytes, std::string& error, std::size_t limit) {
    if (readFileUnnamed(path, bytes, error, limit)) return true;
    error = path + ": " + error;
    return false;
}

bool readFileUnnamed(const std::string& path, std::string& bytes, std::string& error, std::size_t limit) {
    bytes.clear();
    std::size_t size = 0;
    std::string reason;
    std::FILE* file = openDataFile(path, size, reason);
    if (!file) {
        error = "cannot open (" + reason + ")";
        return false;
    }
    if (size > limit) {
        std::fclose(file);
        error = std::to_string(size) + " bytes, more than the limit of " + std::to_string(limit >> 20) + " MiB";
        return false;
    }
    // No more than the size taken at the open, should the file grow.
    bytes.resize(size);
    const std::size_t got = size ? std::fread(&bytes[0], 1, size, file) : 0;
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    bytes.resize(got);
    if (failed) {
        error = "read error";
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

namespace {

std::string failure(const std::string& path, const char* what, int why) {
    return path + ": " + what + " (" + std::strerror(why) + ")";
}

// `bytes` into a new file beside `path`, named in `temporary`; false with
// `error` (and no file left) when it cannot be made or written whole.
bool writeTemporary(const std::string& path, const std::string& bytes, std::string& temporary, std::string& error) {
    const std::filesystem::path p(path);
    temporary = (p.parent_path() / ("." + p.filename().string() + ".XXXXXX")).string();
    const int fd = mkostemp(&temporary[0], O_CLOEXEC);
    if (fd < 0) {
        error = failure(path, "cannot create", errno);
        return false;
    }
    const mode_t mask = umask(0);
    umask(mask);
    int why = fchmod(fd, 0666 & ~mask) == 0 ? 0 : errno;
    for (std::size_t done = 0; !why && done < bytes.size();) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) why = n < 0 ? errno : ENOSPC;
        else done += static_cast<std::size_t>(n);
    }
    if (!why && fsync(fd) != 0) why = errno;
    if (close(fd) != 0 && !why) why = errno;
    if (!why) return true;
    unlink(temporary.c_str());
    error = failure(path, "write error", why);
    return false;
}

}  // namespace

bool writeFilesTogether(const std::vector<std::pair<std::string, std::string>>& files, std::string& error) {
    std::vector<std::string> targets, temporaries;
    for (const auto& file : files) {
        std::string target = file.first;
        struct stat st;
        if (stat(target.c_str(), &st) == 0) {
            if (!S_ISREG(st.st_mode)) {
                error = target + ": cannot replace (" +
                        (S_ISDIR(st.st_mode) ? "is a folder" : "is not a regular file") + ")";
                return false;
            }
            std::error_code ec;
            const std::filesystem::path real = std::filesystem::canonical(target, ec);
            if (!ec) target = real.string();
        }
        targets.push_back(target);
    }
    bool ok = true;
    for (std::size_t i = 0; ok && i < files.size(); ++i) {
        temporaries.emplace_back();
        ok = writeTemporary(targets[i], files[i].second, temporaries.back(), error);
        if (!ok) temporaries.pop_back();
    }
    for (std::size_t i = 0; ok && i < temporaries.size(); ++i)
        if (std::rename(temporaries[i].c_str(), targets[i].c_str()) != 0) {
            error = failure(files[i].first, "cannot replace", errno);
            ok = false;
            if (i) error += "; the files before it were replaced";
        } else {
            temporaries[i].clear();
        }
    for (const std::string& t : temporaries)
        if (!t.empty()) unlink(t.c_str());
    return ok;
}

bool sameFile(const std::string& a, const std::string& b) {
    struct stat sa, sb;
    if (stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0) return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    std::error_code ec;
    const auto normal = [&ec](const std::string& path) { return std::filesystem::absolute(path, ec).lexically_normal(); };
    return normal(a) == normal(b);
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

std::string userDataFile(const std::string& name) {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg && xdg[0] == '/') return std::string(xdg) + "/brimvale/" + name;
    const char* home = std::getenv("HOME");
    if (home && home[0]) return std::string(home) + "/.local/share/brimvale/" + name;
    return "";
}

}  // namespace common
