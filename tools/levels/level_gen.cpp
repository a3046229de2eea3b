// Level candidates by hill climbing from a designer's sketch.
// The same seed gives the same candidates.
#include "tools/levels/level_gen.h"

#include <random>

#include "game/board.h"
#include "solver/solver.h"

namespace levelgen {

namespace {

struct Candidate {
    leveltext::Record cells;
    int moves = -1;
    int busy = 0;  // cells that are not ground
};

int busyCells(const leveltext::Record& cells, const std::vector<int>& field) {
    int n = 0;
    for (int i : field) n += cells[i] != Ground;
    return n;
}

int solveMoves(const leveltext::Record& cells, std::uint64_t maxStates) {
    const solver::Result r = solver::solveLevel(cells.data(), 1, 0, maxStates);
    return r.status == solver::Status::Solved ? r.moves() : -1;
}

class Climb {
public:
    Climb(const leveltext::Level& sketch, const std::vector<int>& field, const Settings& settings)
        : field_(field), settings_(settings), rng_(static_cast<std::mt19937::result_type>(settings.seed)) {
        current_ = Candidate{sketch.cells, solveMoves(sketch.cells, settings.maxStates), 0};
        current_.busy = busyCells(current_.cells, field_);
        best_.push_back(current_);
    }

    // One step: a change to one to three cells, kept when it scores as well.
    void step() {
        Candidate next = current_;
        const int changes = 1 + static_cast<int>(rng_() % 3);
        for (int c = 0; c < changes; ++c)
            next.cells[field_[rng_() % field_.size()]] = settings_.palette[rng_() % settings_.palette.size()];
        if (next.cells == current_.cells) return;
        next.moves = solveMoves(next.cells, settings_.maxStates);
        if (next.moves < 0) return;
        next.busy = busyCells(next.cells, field_);
        if (score(next) < score(current_)) return;
        current_ = next;
        remember(next);
    }

    const std::vector<Candidate>& best() const { return best_; }

private:
    double score(const Candidate& c) const { return c.moves - settings_.clutter * c.busy; }
    bool better(const Candidate& a, const Candidate& b) const {
        return score(a) > score(b) || (score(a) == score(b) && a.moves > b.moves);
    }

    // Keeps a new candidate in its place among the best.
    void remember(const Candidate& c) {
        for (const Candidate& b : best_)
            if (b.cells == c.cells) return;
        best_.push_back(c);
        for (std::size_t k = best_.size() - 1; k > 0 && better(best_[k], best_[k - 1]); --k)
            std::swap(best_[k], best_[k - 1]);
        if (static_cast<long>(best_.size()) > settings_.keep) best_.pop_back();
    }

    const std::vector<int>& field_;
    const Settings& settings_;
    std::mt19937 rng_;
    Candidate current_;
    std::vector<Candidate> best_;
};

}  // namespace

bool paletteCodes(const std::string& glyphs, std::vector<std::uint8_t>& codes, std::string& error) {
    codes.clear();
    for (char g : glyphs) {
        const int code = leveltext::codeForGlyph(g);
        if (code < 0 || code == TankStart || code == Goal) {
            error = std::string("'") + g + "' cannot be placed";
            return false;
        }
        codes.push_back(static_cast<std::uint8_t>(code));
    }
    return true;
}

bool generate(const leveltext::Level& sketch, const Settings& settings, std::vector<leveltext::Level>& candidates,
              std::string& error) {
    std::vector<int> field;
    for (std::size_t i = 0; i < leveltext::RecordBytes; ++i)
        if (sketch.cells[i] == Ground) field.push_back(static_cast<int>(i));
    if (field.empty()) {
        error = "the sketch has no playfield";
        return false;
    }
    Climb climb(sketch, field, settings);
    for (long step = 0; step < settings.steps; ++step) climb.step();
    candidates.clear();
    for (const Candidate& c : climb.best()) {
        leveltext::Level out;
        out.title = sketch.title + " (seed " + std::to_string(settings.seed) + ", candidate " +
                    std::to_string(candidates.size() + 1) + ")";
        out.moves = c.moves;
        out.cells = c.cells;
        candidates.push_back(out);
    }
    return true;
}

}  // namespace levelgen
