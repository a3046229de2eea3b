// Where brimvale-tool looks for the game's data when no --data is given.
#pragma once

#include <string>

// The data folder of the installation when the tool runs installed (beside
// it, in ../share/brimvale), else the one the build makes.
std::string defaultDataDir();
