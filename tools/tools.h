// The subcommands of brimvale-tool. Each takes the arguments after its own
// name and returns the process exit status.
#pragma once

#include <string>

int runReplay(int argc, char** argv);
int runPack(int argc, char** argv);
int runUnpack(int argc, char** argv);
int runPaintArt(int argc, char** argv);
int runLevels(int argc, char** argv);
int runSolve(int argc, char** argv);

// The data folder that the build (or the installation) makes.
std::string defaultDataDir();
