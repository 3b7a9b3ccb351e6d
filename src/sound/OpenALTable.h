// Every OpenAL call of the sound code goes through one table of functions:
// the real library in the program, a deterministic stand-in in tests (the
// library's own outputs mix on a thread of their own, in real time).
#pragma once

#include <AL/al.h>
#include <AL/alc.h>

struct OpenALTable {
  LPALCOPENDEVICE alcOpenDevice;
  LPALCCLOSEDEVICE alcCloseDevice;
  LPALCCREATECONTEXT alcCreateContext;
  LPALCDESTROYCONTEXT alcDestroyContext;
  LPALCMAKECONTEXTCURRENT alcMakeContextCurrent;
  LPALCGETCURRENTCONTEXT alcGetCurrentContext;

  LPALGETERROR alGetError;
  LPALLISTENERFV alListenerfv;
  LPALGENSOURCES alGenSources;
  LPALDELETESOURCES alDeleteSources;
  LPALSOURCEF alSourcef;
  LPALSOURCEFV alSourcefv;
  LPALSOURCEI alSourcei;
  LPALGETSOURCEI alGetSourcei;
  LPALSOURCEPLAY alSourcePlay;
  LPALSOURCESTOP alSourceStop;
  LPALSOURCEPAUSE alSourcePause;
  LPALSOURCEQUEUEBUFFERS alSourceQueueBuffers;
  LPALSOURCEUNQUEUEBUFFERS alSourceUnqueueBuffers;
  LPALGENBUFFERS alGenBuffers;
  LPALDELETEBUFFERS alDeleteBuffers;
  LPALBUFFERDATA alBufferData;
  LPALCGETINTEGERV alcGetIntegerv;
};

// The table in use; the real library's until another is installed.
extern const OpenALTable* openAL;

// The real library's table.
const OpenALTable* RealOpenAL();

// Installs a table (null: the real library's); returns the one in use before.
const OpenALTable* SetOpenALTable(const OpenALTable* table);
