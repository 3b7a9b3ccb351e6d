#include "frontend/GameFrames.h"

#include "shell/ApplInfo.h"

Frame noactionFRAME[1], menuPictFRAME[5], meteorFRAME[36], playerShipFRAME[10], playerFireFRAME[2], enemyFireFRAME[1],
    playerShotFRAME[2], enemyShotFRAME[1], plasmaFRAME[15], shieldStatusFRAME[1], pelletFRAME[2], bossStatusFRAME[1],
    enemyShieldFRAME[1], explosionFRAME[1], engineFRAME[1], shotFRAME[1], enemyFRAME[5], enemySpinFRAME[8],
    enemyWingFRAME[8], waveDisplayFRAME[1], doublesPowFRAME[8], shieldPowFRAME[16], podFRAME[8], numberFRAME[10],
    bossDisplayFRAME[1], bigFlameFRAME[1], glowFRAME[1];

Frame* gameFrameTable[kFrameTableSize];
SInt16 gameFrameCount = 0;

namespace {

Frame** tablePointer = gameFrameTable;

struct FrameArrayEntry {
  Frame* array;
  const char* name;
  SInt8 frames;
};

#define FRAME_ENTRY(a) \
  { a, #a, SInt8(sizeof(a) / sizeof(a[0])) }

const FrameArrayEntry kFrameArrays[] = {
    FRAME_ENTRY(noactionFRAME),     FRAME_ENTRY(menuPictFRAME),    FRAME_ENTRY(meteorFRAME),
    FRAME_ENTRY(playerShipFRAME),   FRAME_ENTRY(playerFireFRAME),  FRAME_ENTRY(enemyFireFRAME),
    FRAME_ENTRY(playerShotFRAME),   FRAME_ENTRY(enemyShotFRAME),   FRAME_ENTRY(plasmaFRAME),
    FRAME_ENTRY(shieldStatusFRAME), FRAME_ENTRY(pelletFRAME),      FRAME_ENTRY(bossStatusFRAME),
    FRAME_ENTRY(enemyShieldFRAME),  FRAME_ENTRY(explosionFRAME),   FRAME_ENTRY(engineFRAME),
    FRAME_ENTRY(shotFRAME),         FRAME_ENTRY(enemyFRAME),       FRAME_ENTRY(enemySpinFRAME),
    FRAME_ENTRY(enemyWingFRAME),    FRAME_ENTRY(waveDisplayFRAME), FRAME_ENTRY(doublesPowFRAME),
    FRAME_ENTRY(shieldPowFRAME),    FRAME_ENTRY(podFRAME),         FRAME_ENTRY(numberFRAME),
    FRAME_ENTRY(bossDisplayFRAME),  FRAME_ENTRY(bigFlameFRAME),    FRAME_ENTRY(glowFRAME),
};

#undef FRAME_ENTRY

}  // namespace

void SetupFrames() {
  APPL.frameList = &tablePointer;
  APPL.frameCount = &gameFrameCount;
  gameFrameCount = 0;
  for (const FrameArrayEntry& e : kFrameArrays) {
    e.array->SetArrayName(e.name);
    e.array->List(&gameFrameCount, e.frames, e.frames);
  }
}
