// The front end's side of what the game simulation asks of the program:
// image sizes, preferences, screens, the speed manager and the scores.
#include <cstring>
#include <string>

#include "frontend/GameFrames.h"
#include "frontend/MainLoop.h"
#include "frontend/Preferences.h"
#include "frontend/Resources.h"
#include "frontend/Scores.h"
#include "frontend/screens/MainScreen.h"
#include "frontend/screens/PauseScreen.h"
#include "frontend/screens/ScreenGL.h"
#include "game/GameServices.h"

namespace {

// The sizes the game plays by when a picture is missing: a boss without a
// size could never be hit, so its wave could never end.
struct SizeFallback {
  const char* name;
  SInt16 width, height;
};
const SizeFallback kBossSizes[] = {{"Boomerang", 184, 104}, {"Blimp", 72, 200}};
const SInt16 kGlowSize = 32;

}  // namespace

std::string bossImageName;

SInt16 BossImageWidth() {
  if (bossIMAGE.Width() > 0) return bossIMAGE.Width();
  for (const SizeFallback& s : kBossSizes)
    if (bossImageName == s.name) return s.width;
  return kBossSizes[0].width;
}

SInt16 BossImageHeight() {
  if (bossIMAGE.Height() > 0) return bossIMAGE.Height();
  for (const SizeFallback& s : kBossSizes)
    if (bossImageName == s.name) return s.height;
  return kBossSizes[0].height;
}

SInt16 GlowImageWidth() {
  SInt16 w = glowFRAME[0].image.Width();
  return w > 0 ? w : kGlowSize;
}

SInt16 GlowImageHeight() {
  SInt16 h = glowFRAME[0].image.Height();
  return h > 0 ? h : kGlowSize;
}

UInt8 EffectsPref() { return PREFS.effects; }
UInt8 SharedScorePref() { return PREFS.sharedScore; }

void Scores_ClearUpdates() { mainSCORES.ClearUpdates(); }

void Scores_SetCheck(int entry, SInt32 score, SInt8 level) {
  if (entry < 0 || UInt32(entry) >= mainSCORES.checkEntry.Size()) return;
  ScoreEntry& e = mainSCORES.checkEntry[UInt32(entry)];
  e.NewLong("Score", score);
  e.NewChar("Level", char(level));
}

void MainScreen_Open() { mainSCREEN.Open(); }

void PauseScreen_Open() { pauseSCREEN.Open(); }

void PauseScreen_Close() { pauseSCREEN.Close(); }
