// Opening a data file for reading: regular files only, never a folder or a device.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

// Opens `path` for binary reading when it is a regular file, and gives its
// size in `bytes`. A folder, a device, a pipe or a socket is refused without
// a byte read or a wait for a writer. The handle is the result: nullptr
// when it failed, with the reason in `error`: the system's ("No such file or
// directory"), or "is a folder", "is a device, not a regular file" and the like.
std::FILE* openDataFile(const std::string& path, std::size_t& bytes, std::string& error);
