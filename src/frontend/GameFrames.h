// The game's named frame arrays. Every picture a game sprite shows is a Frame
// in one of these; SetupFrames lists them, in a fixed order and under their
// own names, in the game's frame table so that the layout files can fill
// each array by name.
#pragma once

#include "graphics/Layout.h"

enum { kFrameTableSize = 32 };

// The game's frame table and the number of entries in use; the application
// record points at both.
extern Frame* gameFrameTable[kFrameTableSize];
extern SInt16 gameFrameCount;

extern Frame noactionFRAME[1];
extern Frame menuPictFRAME[5];
extern Frame meteorFRAME[36];
extern Frame playerShipFRAME[2][5];
extern Frame playerFireFRAME[2];
extern Frame enemyFireFRAME[1];
extern Frame playerShotFRAME[2];
extern Frame enemyShotFRAME[1];
extern Frame plasmaFRAME[3][5];
extern Frame shieldStatusFRAME[1];
extern Frame pelletFRAME[2];
extern Frame bossStatusFRAME[1];
extern Frame enemyShieldFRAME[1];
extern Frame explosionFRAME[1];
extern Frame engineFRAME[1];
extern Frame shotFRAME[1];
extern Frame enemyFRAME[5];
extern Frame enemySpinFRAME[2][4];
extern Frame enemyWingFRAME[2][4];
extern Frame waveDisplayFRAME[1];
extern Frame doublesPowFRAME[8];
extern Frame shieldPowFRAME[16];
extern Frame podFRAME[8];
extern Frame numberFRAME[10];
extern Frame bossDisplayFRAME[1];
extern Frame bigFlameFRAME[1];
extern Frame glowFRAME[1];

// Lists the 27 arrays in the table (once per run) and points the application
// record at it; the layout loader's InitLayouts then takes it from there.
void SetupFrames();
