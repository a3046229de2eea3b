// Whole files in and out for every tool.
// A failure comes back as one line that names the file.
#pragma once

#include <string>

namespace common {

// Reads the whole file into `bytes`. A folder opens and reads as no bytes.
// False with a message in `error` when the file cannot be opened or read.
bool readFile(const std::string& path, std::string& bytes, std::string& error);

// Writes `bytes` as the whole file, replacing what was there. False with a
// message in `error` when it cannot be created or written.
bool writeFile(const std::string& path, const std::string& bytes, std::string& error);

// `name` inside folder `dir`.
std::string joinPath(const std::string& dir, const std::string& name);

// Makes folder `path`, and the folders above it, where missing. False with a
// message in `error` when it cannot.
bool makeFolders(const std::string& path, std::string& error);

}  // namespace common
