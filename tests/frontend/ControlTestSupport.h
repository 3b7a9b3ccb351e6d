// What the control tests watch: every image drawn (through the image
// recorder) and every sound started (through the fake OpenAL, with no output
// device and one effects source whose sounds finish as soon as they start),
// with the press memory of every control class forgotten.
#pragma once

#include <vector>

#include "graphics/ImageGL.h"
#include "sound/SoundEffects.h"
#include "support/openal/FakeOpenAL.h"

class ControlTestRecorders {
 public:
  FakeOpenAL al;  // first: it starts the sound code afresh
  std::vector<ImageDraw> draws;
  std::vector<FakePlay>& sounds = al.plays;

  ControlTestRecorders();
  ~ControlTestRecorders();
  ControlTestRecorders(const ControlTestRecorders&) = delete;
  ControlTestRecorders& operator=(const ControlTestRecorders&) = delete;

  // The draws of one image, in order.
  std::vector<ImageDraw> DrawsOf(const ImageGL& image) const;
};

// A sound that counts as loaded, with a buffer name of its own (one the fake
// OpenAL never made: a source takes any name).
void FakeLoad(ALSound* sound, unsigned buffer);
// An image of a size; a loaded one has a texture name that no draw reaches
// (the recorder takes every draw).
void FakeImage(ImageGL* image, SInt16 width, SInt16 height, bool loaded = true);
