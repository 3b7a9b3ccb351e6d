#include "frontend/GameFrames.h"

#include "game/GameServices.h"
#include "shell/ApplInfo.h"

Frame* gameFrameTable[kFrameTableSize];
SInt16 gameFrameCount;
static Frame** gameFrameTablePtr = gameFrameTable;

Frame noactionFRAME[1];
Frame menuPictFRAME[5];
Frame meteorFRAME[36];
Frame playerShipFRAME[2][5];
Frame playerFireFRAME[2];
Frame enemyFireFRAME[1];
Frame playerShotFRAME[2];
Frame enemyShotFRAME[1];
Frame plasmaFRAME[3][5];
Frame shieldStatusFRAME[1];
Frame pelletFRAME[2];
Frame bossStatusFRAME[1];
Frame enemyShieldFRAME[1];
Frame explosionFRAME[1];
Frame engineFRAME[1];
Frame shotFRAME[1];
Frame enemyFRAME[5];
Frame enemySpinFRAME[2][4];
Frame enemyWingFRAME[2][4];
Frame waveDisplayFRAME[1];
Frame doublesPowFRAME[8];
Frame shieldPowFRAME[16];
Frame podFRAME[8];
Frame numberFRAME[10];
Frame bossDisplayFRAME[1];
Frame bigFlameFRAME[1];
Frame glowFRAME[1];

namespace {

struct Entry {
  Frame* first;
  const char* name;
  SInt8 frames;
};

// Registration order: the layout files list their arrays in this order.
const Entry kEntries[] = {
    {noactionFRAME, "noactionFRAME", 1},
    {menuPictFRAME, "menuPictFRAME", 5},
    {meteorFRAME, "meteorFRAME", 36},
    {&playerShipFRAME[0][0], "playerShipFRAME", 10},
    {playerFireFRAME, "playerFireFRAME", 2},
    {enemyFireFRAME, "enemyFireFRAME", 1},
    {playerShotFRAME, "playerShotFRAME", 2},
    {enemyShotFRAME, "enemyShotFRAME", 1},
    {&plasmaFRAME[0][0], "plasmaFRAME", 15},
    {shieldStatusFRAME, "shieldStatusFRAME", 1},
    {pelletFRAME, "pelletFRAME", 2},
    {bossStatusFRAME, "bossStatusFRAME", 1},
    {enemyShieldFRAME, "enemyShieldFRAME", 1},
    {explosionFRAME, "explosionFRAME", 1},
    {engineFRAME, "engineFRAME", 1},
    {shotFRAME, "shotFRAME", 1},
    {enemyFRAME, "enemyFRAME", 5},
    {&enemySpinFRAME[0][0], "enemySpinFRAME", 8},
    {&enemyWingFRAME[0][0], "enemyWingFRAME", 8},
    {waveDisplayFRAME, "waveDisplayFRAME", 1},
    {doublesPowFRAME, "doublesPowFRAME", 8},
    {shieldPowFRAME, "shieldPowFRAME", 16},
    {podFRAME, "podFRAME", 8},
    {numberFRAME, "numberFRAME", 10},
    {bossDisplayFRAME, "bossDisplayFRAME", 1},
    {bigFlameFRAME, "bigFlameFRAME", 1},
    {glowFRAME, "glowFRAME", 1},
};

}  // namespace

void SetupFrames() {
  APPL.frameList = &gameFrameTablePtr;
  APPL.frameCount = &gameFrameCount;
  if (gameFrameCount) return;
  for (const Entry& e : kEntries) {
    e.first->List(&gameFrameCount, e.frames, e.frames);
    e.first->SetArrayName(e.name);
  }
}

// The glow's size as the game reads it when it starts a glow.
SInt16 GlowImageWidth() { return glowFRAME[0].image.Width(); }
SInt16 GlowImageHeight() { return glowFRAME[0].image.Height(); }
