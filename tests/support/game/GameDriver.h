// Steps the game simulation the way the main loop does: set the input of the
// step, run HandleGame, then advance animateDELAY (0, 1, 2, 0 ...). Used by
// the game's own tests and by any test that needs a running game.
#pragma once

#include <cstdint>
#include <string>

#include "game/Game.h"

namespace gamedriver {

enum Action { kLeft = 0, kRight = 1, kUp = 2, kDown = 3, kFire = 4 };

// Trigonometry tables at 256 per unit, as the resource files hold them.
void FillTrigTables();

// The game colours the front end's resource loading sets.
void SetupColors();

// The preferences the game reads (effects, shared score, music) come from
// the services linked in: fakeSERVICES in the game's own tests.
//
// Resets the game state, seeds the random sequence, fills tables and colours, and starts a game
// with animateDELAY at 0, as the main screen's Play does.
void Begin(UInt32 seed);

// Holds an action of a player for the next steps (until Release).
void Hold(int player, Action action);
void Release(int player, Action action);
void ReleaseAll();
// The held actions, by control byte (2 x action + player).
const UInt8* Held();

// One main-loop step: the held actions become mainINPUT, HandleGame runs,
// animateDELAY advances.
void Step();
void Steps(int n);

// Steps until pred() holds or limit steps have run; true when it held.
template <class Pred>
bool StepUntil(Pred pred, int limit) {
  for (int i = 0; i < limit; i++) {
    if (pred()) return true;
    Step();
  }
  return pred();
}

// Plays player p for this step by holding keys: keeps low, aims under the
// highest enemy (or the boss's centre line), steps aside from whatever falls
// toward the ship, and fires every sixth step unless a shield is above.
void Pilot(int p, int step);

// A digest of the whole game state: pools, globals, scores and the seed.
uint64_t StateDigest();
// A readable summary of the main state, for failure messages.
std::string Describe();

}  // namespace gamedriver
