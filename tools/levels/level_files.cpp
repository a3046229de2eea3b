// Level sources read from files.
#include "tools/levels/level_files.h"

#include "common/files.h"

namespace leveltext {

bool parseFile(const std::string& path, std::vector<Level>& levels, std::vector<Diagnostic>& diagnostics) {
    std::string text, error;
    // The diagnostic names the file: the message does not.
    if (!common::readFileUnnamed(path, text, error)) {
        diagnostics.push_back(Diagnostic{path, 0, 0, false, error});
        return false;
    }
    return parseSource(text, path, levels, diagnostics);
}

bool parseFiles(const std::vector<std::string>& paths, std::vector<Level>& levels,
                std::vector<Diagnostic>& diagnostics) {
    bool ok = true;
    for (const std::string& path : paths) ok = parseFile(path, levels, diagnostics) && ok;
    return ok;
}

}  // namespace leveltext
