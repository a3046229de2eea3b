// The rules: the tank's turns, moves and pushes, the beam, shoves by the
// beam, anti-tank fire and the destruction sequences.
#pragma once

#include <cstdint>

#include "game/game.h"
#include "game/painter.h"

constexpr std::uint32_t playerBeamColour = 65280;    // bytes 00 FF 00: green
constexpr std::uint32_t antiTankBeamColour = 52479;  // bytes FF CC 00: azure

// A direction key: turns the tank to face (dx, dy) (drawn at `angle`), or,
// when it already does, moves it a cell, pushing what stands ahead.
void turnOrMoveTank(Game& g, int dx, int dy, float angle);
// One press of play on `g` by its key (platform/input.h), as the playing
// screen plays it: an arrow turns or moves the tank, any other key fires
// (once the tank faces a way). The solver and the guide's look-ahead play
// their own games through it.
void playKey(Game& g, int key);

// The beam from (x, y) travelling (dx, dy), and what it does on its way.
void fireLaser(Game& g, int x, int y, int dx, int dy, std::uint32_t colour);
// One piece of beam on cell (x, y), drawn and shown as a frame, and marked
// on the board for eraseBeam.
void drawBeamSegment(Game& g, int x, int y, BeamPiece piece, std::uint32_t colour, int cornerTurn = 0);
void eraseBeam(Game& g);

bool shoveByBeam(Game& g, int x, int y, int dx, int dy, int code, std::uint32_t colour);

bool checkAntiTank(Game& g, int x, int y, int dx, int dy, int code);
bool checkAllAntiTanks(Game& g, int x, int y);
void playExplosion(Game& g, int x, int y, unsigned pause);
void destroyTank(Game& g);
void destroyAntiTank(Game& g, int x, int y);
