// The subcommands of brimvale-tool, one function each.
// Each takes the arguments after its own name and returns the process exit
// status.
#pragma once

int replayCommand(int argc, char** argv);
int packCommand(int argc, char** argv);
int unpackCommand(int argc, char** argv);
int paintArtCommand(int argc, char** argv);
int paintSoundCommand(int argc, char** argv);
int levelsCommand(int argc, char** argv);
int solveCommand(int argc, char** argv);
int iconCommand(int argc, char** argv);
