// Helpers shared by the simulation's units.
#pragma once

#include <cstdlib>

#include "foundation/Random.h"
#include "game/Game.h"
#include "game/GameServices.h"

// A fresh draw of the game's one random sequence.
#define GameRandom() SubRandom_Trace(__FILE__, __LINE__, __func__)

// A 1-in-n chance: one draw tested as r % n == 0; n == 0 passes without one.
#define GameChance(n) ((n) == 0 || GameRandom() % UInt32(n) == 0)

// An effect made by an object on screen, on the next free source.
inline void PlayAt(ALSound* sound, Rect* r, float pitch = 1.0f) {
  PlaySound_Stereo_Game(sound, NextChan_Game(), r, 1.0f, pitch, 0);
}

inline bool AnimateStep() { return animateDELAY == 0.0f; }

inline bool ShipAlive(int p) { return _PLAYER[p].on && _PLAYER[p].dying != 1; }
