// The front end's side of what the game simulation asks of the program:
// image sizes, preferences, screens, the speed manager and the scores. It
// also sees game/GameServices.h beside the headers of every subsystem that
// defines a service, so the compiler checks each declaration the game uses
// against the real one.
#include <cstring>
#include <string>

#include "frontend/ApplicationHooks.h"
#include "frontend/GameFrames.h"
#include "frontend/MainLoop.h"
#include "frontend/Preferences.h"
#include "frontend/Resources.h"
#include "frontend/Scores.h"
#include "frontend/screens/MainScreen.h"
#include "frontend/screens/PauseScreen.h"
#include "frontend/screens/ScreenGL.h"
#include "game/GameServices.h"
#include "graphics/OpenGLFrame.h"
#include "shell/Events.h"
#include "shell/KeyState.h"
#include "sound/AudioPrefs.h"
#include "sound/CompressedSound.h"
#include "sound/SoundEffects.h"
#include "sound/SoundMixer.h"

namespace {

// A variable declared twice with two types, or a function with two return
// types, does not compile. A function declared with two parameter lists is
// two overloads; naming its address here is then ambiguous and does not
// compile either. Every function of the services is named.
template <auto... services>
constexpr bool kOneDeclarationEach = true;
static_assert(kOneDeclarationEach<&SoundElement, &NextChan_Game, &FreeChan_Game, &PlaySound_Game,
                                  &PlaySound_Stereo_Game, &LoadSound_Game, &QuietAllChans, &LoadMusic, &PlayMusic,
                                  &StopMusic, &SetMusicVolume, &SetMusicLoop, &Brightness_GL, &Brighter_GL, &Darker_GL,
                                  &LoadGameImage, &BossImageWidth, &BossImageHeight, &GlowImageWidth, &GlowImageHeight,
                                  &EffectsPref, &SharedScorePref, &MusicOnPref, &MainScreen_Open, &PauseScreen_Open,
                                  &PauseScreen_Close, &AnyScreenOpen, &ShowCursorGL, &HideCursorGL, &ResetSpeedManager,
                                  &LoadResources_Game, &Scores_ClearUpdates, &Scores_SetCheck, &FlushKeyState>);

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
