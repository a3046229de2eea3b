// Whole files in and out for every tool.
// A failure comes back as one line that names the file.
#pragma once

#include <cstddef>
#include <string>

namespace common {

// The largest file the tools read whole unless told otherwise: 64 MiB.
constexpr std::size_t MaxFileBytes = std::size_t(64) << 20;

// Reads the whole file into `bytes`. False with a message in `error` that
// names the file when it cannot be opened or read, is no regular file (a
// folder, a device, a pipe) or is larger than `limit` bytes.
bool readFile(const std::string& path, std::string& bytes, std::string& error, std::size_t limit = MaxFileBytes);

// Writes `bytes` as the whole file, replacing what was there. False with a
// message in `error` when it cannot be created or written.
bool writeFile(const std::string& path, const std::string& bytes, std::string& error);

// `name` inside folder `dir`.
std::string joinPath(const std::string& dir, const std::string& name);

// Makes folder `path`, and the folders above it, where missing. False with a
// message in `error` when it cannot.
bool makeFolders(const std::string& path, std::string& error);

}  // namespace common
