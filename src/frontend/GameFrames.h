// The game's named frame arrays: every picture a game sprite shows is one
// frame of these. SetupFrames registers them in the frame table, in a fixed
// order and under their own names, so the layout files can fill them.
#pragma once

#include "graphics/Layout.h"

enum { kFrameTableSize = 32 };

extern Frame noactionFRAME[1], menuPictFRAME[5], meteorFRAME[36], playerShipFRAME[10], playerFireFRAME[2],
    enemyFireFRAME[1], playerShotFRAME[2], enemyShotFRAME[1], plasmaFRAME[15], shieldStatusFRAME[1], pelletFRAME[2],
    bossStatusFRAME[1], enemyShieldFRAME[1], explosionFRAME[1], engineFRAME[1], shotFRAME[1], enemyFRAME[5],
    enemySpinFRAME[8], enemyWingFRAME[8], waveDisplayFRAME[1], doublesPowFRAME[8], shieldPowFRAME[16], podFRAME[8],
    numberFRAME[10], bossDisplayFRAME[1], bigFlameFRAME[1], glowFRAME[1];

// The table the application record points at, and its entry count.
extern Frame* gameFrameTable[kFrameTableSize];
extern SInt16 gameFrameCount;

void SetupFrames();
