#include "ControlTestSupport.h"

#include "frontend/controls/ControlGL.h"
#include "frontend/controls/KeyEditor.h"
#include "sound/OpenALTable.h"

namespace {

ControlTestRecorders* active = nullptr;

void RecordDraw(const ImageDraw& d) { active->draws.push_back(d); }

}  // namespace

// No output device: music channels are made without sources. The one effects
// source is the fake's own, made through the table as the pool would.
ControlTestRecorders::ControlTestRecorders() {
  active = this;
  al.noDevice = true;
  al.finishAtOnce = true;
  imageDrawRecorder = RecordDraw;
  openAL->alGenSources(1, &mainALSOURCE[0]);
  numALSOURCES = 1;
  ResetControlPress();
  ResetKeyEditorInput();
  selectedCONTROL = nullptr;
}

ControlTestRecorders::~ControlTestRecorders() {
  ResetControlPress();
  ResetKeyEditorInput();
  selectedCONTROL = nullptr;
  imageDrawRecorder = nullptr;
  active = nullptr;
}

std::vector<ImageDraw> ControlTestRecorders::DrawsOf(const ImageGL& image) const {
  std::vector<ImageDraw> out;
  for (const ImageDraw& d : draws)
    if (d.image == &image) out.push_back(d);
  return out;
}

void FakeLoad(ALSound* sound, unsigned buffer) { sound->buffers[0] = buffer; }

void FakeImage(ImageGL* image, SInt16 width, SInt16 height, bool loaded) {
  image->texture = loaded ? 1 : 0;
  image->imageWidth = width;
  image->imageHeight = height;
}
