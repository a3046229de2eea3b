// Placeholder rules until the real ones land.
#include "game/rules.h"

void turnOrMoveTank(int, int, float) {}
void pushObject(int, int, float, int) {}
void fireLaser(int, int, int, int, std::uint32_t) {}
void drawBeamSegment(int, int, int, std::uint32_t) {}
void eraseBeam() {}
bool shoveByBeam(int, int, int, int, int, std::uint32_t) { return false; }
bool checkAntiTank(int, int, int, int, int) { return false; }
bool checkAllAntiTanks(int, int) { return false; }
void playExplosion(int, int, unsigned) {}
void destroyTank() {}
void destroyAntiTank(int, int) {}
