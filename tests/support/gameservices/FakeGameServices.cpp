#include "FakeGameServices.h"

#include <algorithm>
#include <cstring>
#include <string>

FakeServices fakeSERVICES;

void FakeServices::Reset() { *this = FakeServices(); }

int FakeServices::Count(const std::string& sound) const {
  return int(std::count_if(sounds.begin(), sounds.end(), [&](const SoundCall& c) { return c.name == sound; }));
}

int FakeServices::CountCall(const std::string& call) const { return int(std::count(calls.begin(), calls.end(), call)); }

ALSound blipSND{"Blip"}, dinkSND{"Dink"}, bounceSND{"Bounce"}, podSND{"Pod"}, flipSND{"Flip"}, superSND{"Super"},
    alarmSND{"Alarm"}, suckSND{"Suck"}, toneSND{"Tone"}, pshotSND{"Shot2"}, waveSND{"Intro_Mono"}, powerSND{"Power"},
    shieldSND{"Shield"}, spinSND{"Spin"}, bumpSND{"Bump"}, zoomSND{"Engine"}, tapSND{"Tap"};
ALSound shotSND[2] = {{"Shot0"}, {"Shot1"}}, boomSND[2] = {{"Boom0"}, {"Boom1"}},
        metalSND[2] = {{"Metal0"}, {"Metal1"}};

ALSound* SoundElement(ALSound* sounds, int index) { return sounds + index; }

unsigned NextChan_Game() { return 1; }
unsigned FreeChan_Game() { return 1; }

static const Rect kPicture = {0, 0, 480, 640};

void PlaySound_Game(ALSound* sound, unsigned, Rect* r, float volume, float pitch, unsigned char) {
  const Rect& at = r ? *r : kPicture;
  fakeSERVICES.sounds.push_back({sound->name, SInt16(at.left + (at.right - at.left) / 2),
                                 SInt16(at.top + (at.bottom - at.top) / 2), volume, pitch});
}

void PlaySound_Stereo_Game(ALSound* sound, unsigned source, Rect* r, float volume, float pitch, unsigned char loop) {
  PlaySound_Game(sound, source, r, volume, pitch, loop);
}

OSErr LoadSound_Game(ALSound* sound, char const* name) {
  fakeSERVICES.calls.push_back(std::string("LoadSound ") + name);
  (void)sound;
  return 0;
}

void QuietAllChans() {}

Music gameMUSIC;

SInt16 LoadMusic(Music* m, const char* name) {
  m->file = name;
  m->playing = false;
  fakeSERVICES.calls.push_back(std::string("LoadMusic ") + name);
  return 0;
}

void PlayMusic(Music* m, unsigned char) {
  if (fakeSERVICES.musicOn) m->playing = true;
}

void StopMusic(Music* m) { m->playing = false; }
void SetMusicVolume(Music* m, SInt16 volume) { m->volume = volume; }
void SetMusicLoop(Music* m, unsigned char loop) { m->loop = loop; }

int Brightness_GL() { return fakeSERVICES.brightness; }
void Brighter_GL(UInt8 step) { fakeSERVICES.brightness = std::min(fakeSERVICES.brightness + step, 255); }
void Darker_GL(UInt8 step) { fakeSERVICES.brightness = std::max(fakeSERVICES.brightness - step, 0); }

ImageGL bossIMAGE;
static int bossKind;

void LoadGameImage(ImageGL* image, const char* name, unsigned char) {
  bossKind = std::strcmp(name, "Blimp") == 0 ? 1 : 0;
  image->width = fakeSERVICES.bossWidth[bossKind];
  image->height = fakeSERVICES.bossHeight[bossKind];
  fakeSERVICES.calls.push_back(std::string("LoadGameImage ") + name);
}

SInt16 BossImageWidth() { return bossIMAGE.width; }
SInt16 BossImageHeight() { return bossIMAGE.height; }
SInt16 GlowImageWidth() { return fakeSERVICES.glowWidth; }
SInt16 GlowImageHeight() { return fakeSERVICES.glowHeight; }

SInt32 cosTABLE[360];
SInt32 sinTABLE[360];

UInt8 EffectsPref() { return fakeSERVICES.effects; }
UInt8 SharedScorePref() { return fakeSERVICES.sharedScore; }
UInt8 MusicOnPref() { return fakeSERVICES.musicOn; }

void MainScreen_Open() { fakeSERVICES.calls.push_back("MainScreen_Open"); }
void PauseScreen_Open() {
  fakeSERVICES.screenOpen = false;
  fakeSERVICES.calls.push_back("PauseScreen_Open");
}
void PauseScreen_Close() { fakeSERVICES.calls.push_back("PauseScreen_Close"); }
Boolean AnyScreenOpen() { return fakeSERVICES.screenOpen; }
void ShowCursorGL() { fakeSERVICES.calls.push_back("ShowCursorGL"); }
void ResetSpeedManager() { fakeSERVICES.calls.push_back("ResetSpeedManager"); }
void LoadResources_Game() { fakeSERVICES.calls.push_back("LoadResources_Game"); }

void Scores_ClearUpdates() { fakeSERVICES.calls.push_back("Scores_ClearUpdates"); }
void Scores_SetCheck(int entry, SInt32 score, SInt8 level) {
  fakeSERVICES.calls.push_back("Scores_SetCheck " + std::to_string(entry));
  fakeSERVICES.checkScore[entry] = score;
  fakeSERVICES.checkLevel[entry] = level;
}

// Weak, so that a test program that also links the shell takes the shell's own.
__attribute__((weak)) UInt8 applQUIT;
__attribute__((weak)) void FlushKeyState() { fakeSERVICES.calls.push_back("FlushKeyState"); }
