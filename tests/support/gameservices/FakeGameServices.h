// Recording stand-ins for what the game simulation asks of sound, drawing,
// screens and preferences, so that games run headless in tests.
#pragma once

#include <string>
#include <vector>

#include "game/GameServices.h"

class ALSound {
 public:
  const char* name;
};

class Music {
 public:
  std::string file;
  SInt16 volume = 0;
  unsigned char loop = 0;
  bool playing = false;
};

class ImageGL {
 public:
  SInt16 width = 0, height = 0;
};

struct SoundCall {
  std::string name;
  SInt16 h, v;  // centre of the rectangle it was placed by
  float volume, pitch;
};

struct FakeServices {
  std::vector<SoundCall> sounds;
  std::vector<std::string> calls;  // screens, music, resources, scores
  int brightness = 255;
  SInt16 glowWidth = 32, glowHeight = 32;
  SInt16 bossWidth[2] = {184, 72}, bossHeight[2] = {104, 200};
  UInt8 effects = 1, sharedScore = 0, musicOn = 1;
  bool screenOpen = false;
  SInt32 checkScore[2] = {0, 0};
  SInt8 checkLevel[2] = {0, 0};

  // Back to the state above, with nothing recorded.
  void Reset();
  int Count(const std::string& sound) const;
  int CountCall(const std::string& call) const;
};

extern FakeServices fakeSERVICES;
