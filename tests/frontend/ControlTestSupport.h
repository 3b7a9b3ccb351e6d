// What the control tests watch: every image drawn (through the image
// recorder) and every sound started (through a small stand-in for OpenAL with
// one source), with the press memory of every control class forgotten.
#pragma once

#include <vector>

#include "graphics/ImageGL.h"
#include "sound/SoundEffects.h"

struct PlayedSound {
  unsigned buffer;
  float gain;
  float x, y;  // position relative to the sound rectangle
};

class ControlTestRecorders {
 public:
  std::vector<ImageDraw> draws;
  std::vector<PlayedSound> sounds;

  ControlTestRecorders();
  ~ControlTestRecorders();
  ControlTestRecorders(const ControlTestRecorders&) = delete;
  ControlTestRecorders& operator=(const ControlTestRecorders&) = delete;

  // The draws of one image, in order.
  std::vector<ImageDraw> DrawsOf(const ImageGL& image) const;

 private:
  const void* previousAL;
};

// A sound that counts as loaded, with a buffer name of its own.
void FakeLoad(ALSound* sound, unsigned buffer);
// An image of a size; a loaded one has a texture name that no draw reaches
// (the recorder takes every draw).
void FakeImage(ImageGL* image, SInt16 width, SInt16 height, bool loaded = true);
