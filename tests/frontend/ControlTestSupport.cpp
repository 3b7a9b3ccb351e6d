#include "ControlTestSupport.h"

#include "frontend/controls/ControlGL.h"
#include "frontend/controls/KeyEditor.h"
#include "sound/OpenALTable.h"

namespace {

ControlTestRecorders* active = nullptr;
struct Pending {
  unsigned buffer = 0;
  float gain = 1, x = 0, y = 0;
} pending;
const ALuint kSource = 7;

void RecordDraw(const ImageDraw& d) { active->draws.push_back(d); }

void Nothing1(ALuint) {}
void SourceI(ALuint, ALenum p, ALint v) {
  if (p == AL_BUFFER) pending.buffer = unsigned(v);
}
void SourceF(ALuint, ALenum p, ALfloat v) {
  if (p == AL_GAIN) pending.gain = v;
}
void SourceFV(ALuint, ALenum p, const ALfloat* v) {
  if (p == AL_POSITION) {
    pending.x = v[0];
    pending.y = v[1];
  }
}
void GetSourceI(ALuint, ALenum, ALint* v) { *v = AL_STOPPED; }
void Play(ALuint) { active->sounds.push_back({pending.buffer, pending.gain, pending.x, pending.y}); }
ALCcontext* NoContext() { return nullptr; }
// No output device: music channels are made without sources.
ALCdevice* NoDevice(const ALCchar*) { return nullptr; }
ALenum NoError() { return AL_NO_ERROR; }
void NoBuffers(ALsizei, const ALuint*) {}

const OpenALTable kTable = [] {
  OpenALTable t{};
  t.alcGetCurrentContext = NoContext;
  t.alcOpenDevice = NoDevice;
  t.alGetError = NoError;
  t.alSourcei = SourceI;
  t.alSourcef = SourceF;
  t.alSourcefv = SourceFV;
  t.alGetSourcei = GetSourceI;
  t.alSourcePlay = Play;
  t.alSourceStop = Nothing1;
  t.alDeleteBuffers = NoBuffers;
  return t;
}();

}  // namespace

ControlTestRecorders::ControlTestRecorders() : previousAL(SetOpenALTable(&kTable)) {
  active = this;
  imageDrawRecorder = RecordDraw;
  numALSOURCES = 1;
  mainALSOURCE[0] = kSource;
  alSourceRESERVED[0] = 0;
  ResetControlPress();
  ResetKeyEditorInput();
  selectedCONTROL = nullptr;
}

ControlTestRecorders::~ControlTestRecorders() {
  ResetControlPress();
  ResetKeyEditorInput();
  selectedCONTROL = nullptr;
  numALSOURCES = 0;
  mainALSOURCE[0] = 0;
  imageDrawRecorder = nullptr;
  SetOpenALTable(static_cast<const OpenALTable*>(previousAL));
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
