// Level sources read from files (the parsing itself is game/level_text.h).
#pragma once

#include <string>
#include <vector>

#include "game/level_text.h"

namespace leveltext {

// Reads and parses a source file; a file that cannot be read is an error.
bool parseFile(const std::string& path, std::vector<Level>& levels, std::vector<Diagnostic>& diagnostics);
// Parses every source file, in order; false when any of them had an error.
bool parseFiles(const std::vector<std::string>& paths, std::vector<Level>& levels,
                std::vector<Diagnostic>& diagnostics);

}  // namespace leveltext
