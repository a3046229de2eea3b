// Level sources read from files.
#include "tools/levels/level_files.h"

#include "tools/common/files.h"

namespace leveltext {

bool parseFile(const std::string& path, std::vector<Level>& levels, std::vector<Diagnostic>& diagnostics) {
    std::string text, error;
    if (!common::readFile(path, text, error)) {
        // The message without the file name that opens it: the diagnostic names the file.
        const std::string named = path + ": ";
        if (error.compare(0, named.size(), named) == 0) error.erase(0, named.size());
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
