// Level candidates: a seeded generator that proposes boards and keeps those
// whose optimal solutions are long, for a designer to look at and finish.
#pragma once

// brimvale-tool levels generate: arguments after "generate".
int runGenerate(int argc, char** argv);
