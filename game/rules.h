// The rules: the tank's turns, moves and pushes, the beam, shoves by the
// beam, anti-tank fire and the destruction sequences.
#pragma once

#include <cstdint>

constexpr std::uint32_t playerBeamColour = 65280;    // bytes 00 FF 00: green
constexpr std::uint32_t antiTankBeamColour = 52479;  // bytes FF CC 00: azure

void turnOrMoveTank(int dx, int dy, float angle);
void pushObject(int dx, int dy, float angle, int code);

void fireLaser(int x, int y, int dx, int dy, std::uint32_t colour);
void drawBeamSegment(int x, int y, int type, std::uint32_t colour);
void eraseBeam();

bool shoveByBeam(int x, int y, int dx, int dy, int code, std::uint32_t colour);

bool checkAntiTank(int x, int y, int dx, int dy, int code);
bool checkAllAntiTanks(int x, int y);
void playExplosion(int x, int y, unsigned pause);
void destroyTank();
void destroyAntiTank(int x, int y);
