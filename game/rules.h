// The rules: the tank's turns, moves and pushes, the beam, shoves by the
// beam, anti-tank fire and the destruction sequences.
#pragma once

#include <cstdint>

#include "game/painter.h"

constexpr std::uint32_t playerBeamColour = 65280;    // bytes 00 FF 00: green
constexpr std::uint32_t antiTankBeamColour = 52479;  // bytes FF CC 00: azure

// A direction key: turns the tank to face (dx, dy) (drawn at `angle`), or,
// when it already does, moves it a cell, pushing what stands ahead.
void turnOrMoveTank(int dx, int dy, float angle);

// The beam from (x, y) travelling (dx, dy), and what it does on its way.
void fireLaser(int x, int y, int dx, int dy, std::uint32_t colour);
// One piece of beam on cell (x, y), drawn and shown as a frame, and marked
// on the board for eraseBeam.
void drawBeamSegment(int x, int y, BeamPiece piece, std::uint32_t colour, int cornerTurn = 0);
void eraseBeam();

bool shoveByBeam(int x, int y, int dx, int dy, int code, std::uint32_t colour);

bool checkAntiTank(int x, int y, int dx, int dy, int code);
bool checkAllAntiTanks(int x, int y);
void playExplosion(int x, int y, unsigned pause);
void destroyTank();
void destroyAntiTank(int x, int y);
