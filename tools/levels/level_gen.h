// Level candidates: a seeded generator that climbs from a designer's sketch.
// It proposes boards and keeps those whose optimal solutions are long, for a
// designer to look at and finish.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "game/level_text.h"

namespace levelgen {

struct Settings {
    unsigned long seed = 1;              // of the random choices
    long steps = 300;                    // changes tried
    std::vector<std::uint8_t> palette;   // the codes placed on the playfield
    std::uint64_t maxStates = 400000;    // a candidate needing more is dropped
    long keep = 3;                       // candidates kept
    double clutter = 2;                  // score lost per busy cell
};

// The codes of the glyphs of `glyphs`; false with a message when one is no
// glyph or cannot be placed (the tank start and the goal stay as drawn).
bool paletteCodes(const std::string& glyphs, std::vector<std::uint8_t>& codes, std::string& error);

// Climbs from `sketch`: each step changes one to three cells of the
// playfield (the cells that are ground in the sketch) to a code of the
// palette, solves the result and keeps it when it scores at least as well:
// the shortest win in presses, less `clutter` for every playfield cell that
// is not ground. The same seed gives the same candidates. `candidates` gets
// the best found, best first, titled after the sketch with their 'moves'.
// False with a message when the sketch has no playfield.
bool generate(const leveltext::Level& sketch, const Settings& settings, std::vector<leveltext::Level>& candidates,
              std::string& error);

}  // namespace levelgen
