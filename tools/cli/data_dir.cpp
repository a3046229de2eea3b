// Where brimvale-tool looks for the game's data when no --data is given.
#include "tools/cli/data_dir.h"

#include <sys/stat.h>
#include <unistd.h>

std::string defaultDataDir() {
    char self[4096];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n > 0) {
        self[n] = '\0';
        std::string dir(self);
        dir = dir.substr(0, dir.rfind('/'));
        const std::string installed = dir + "/../share/brimvale";
        struct stat st;
        if (stat((installed + "/data01.pak").c_str(), &st) == 0) return installed;
    }
    return BRIMVALE_DATA_BUILD_DIR;
}
