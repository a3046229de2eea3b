// Whole files in and out for every tool.
// A failure comes back as one line that names the file.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace common {

// The largest file the tools read whole unless told otherwise: 64 MiB.
constexpr std::size_t MaxFileBytes = std::size_t(64) << 20;

// Reads the whole file into `bytes`. False with a message in `error` that
// names the file when it cannot be opened or read, is no regular file (a
// folder, a device, a pipe) or is larger than `limit` bytes.
bool readFile(const std::string& path, std::string& bytes, std::string& error, std::size_t limit = MaxFileBytes);
// The same, with a message that does not name the file, for a caller that
// names it itself.
bool readFileUnnamed(const std::string& path, std::string& bytes, std::string& error,
                     std::size_t limit = MaxFileBytes);

// Writes `bytes` as the whole file, replacing what was there. False with a
// message in `error` when it cannot be created or written.
bool writeFile(const std::string& path, const std::string& bytes, std::string& error);

// Writes every (name, bytes) as a whole file, all or none: each goes to a new
// temporary file beside its name, and only when all are written are they
// renamed over their names (a symbolic link: over the file it leads to). A
// name that exists and is no regular file (a folder, a device, a pipe) is
// refused before anything is written. False with a message in `error` that
// names the file; then no name has changed (unless a rename itself failed
// after an earlier one, which the message says).
bool writeFilesTogether(const std::vector<std::pair<std::string, std::string>>& files, std::string& error);

// Whether two names lead to the same file: the same device and inode when
// both exist, else the same path once made absolute and normal.
bool sameFile(const std::string& a, const std::string& b);

// `name` inside folder `dir`.
std::string joinPath(const std::string& dir, const std::string& name);

// NAME in the game's folder of the user's data: $XDG_DATA_HOME/brimvale/NAME
// (when that is an absolute path), else ~/.local/share/brimvale/NAME; ""
// when neither is known.
std::string userDataFile(const std::string& name);

// Makes folder `path`, and the folders above it, where missing. False with a
// message in `error` when it cannot.
bool makeFolders(const std::string& path, std::string& error);

}  // namespace common
