#include "sound/OpenALTable.h"

namespace {

const OpenALTable kRealOpenAL = {
    alcOpenDevice,
    alcCloseDevice,
    alcCreateContext,
    alcDestroyContext,
    alcMakeContextCurrent,
    alcGetCurrentContext,
    alGetError,
    alListenerfv,
    alGenSources,
    alDeleteSources,
    alSourcef,
    alSourcefv,
    alSourcei,
    alGetSourcei,
    alSourcePlay,
    alSourceStop,
    alSourcePause,
    alSourceQueueBuffers,
    alSourceUnqueueBuffers,
    alGenBuffers,
    alDeleteBuffers,
    alBufferData,
    alcGetIntegerv,
};

}  // namespace

const OpenALTable* openAL = &kRealOpenAL;

const OpenALTable* RealOpenAL() { return &kRealOpenAL; }

const OpenALTable* SetOpenALTable(const OpenALTable* table) {
  const OpenALTable* old = openAL;
  openAL = table ? table : &kRealOpenAL;
  return old;
}
