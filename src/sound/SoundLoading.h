// Loading a sound effect: an Ogg Vorbis file is decoded whole into a sound
// resource, copied (and converted where the audio settings ask for less) into
// a sample block that a QKSndCommand owns, and folded into one 16-bit mono
// OpenAL buffer.
#pragma once

#include "foundation/LinkedList.h"
#include "sound/SoundHeader.h"

class ALSound;

extern LinkedItemListTemplate<QKSndCommand> soundLIST;

// 0, -1 when the file is not an Ogg Vorbis stream, or the memory error.
OSErr LoadSoundFile(QKSndCommand* command, const char* path);
Boolean LoadSoundFromSound(QKSndCommand* command, QKSndListResource* resource, unsigned char asSoundCmd);
Boolean LoadSoundFromSoundHeader(QKSndCommand* command, QKSoundHeader* header, unsigned char asSoundCmd);
// Whether the command's sound can be played as the audio settings stand.
Boolean CheckSound(const QKSndCommand* command);
void DisposeSound(QKSndCommand* command);

// Each returns a new block (header and samples) from QKNewPtr, or null.
Ptr ConvertSound_8m_8m(QKSoundHeader* source);
Ptr ConvertSound_8s_8m(QKSoundHeader* source);
Ptr ConvertSound_16m_8m(QKSoundHeader* source);
Ptr ConvertSound_16s_8m(QKSoundHeader* source);
Ptr ConvertSound_8s_8s(QKSoundHeader* source);
Ptr ConvertSound_16s_8s(QKSoundHeader* source);
Ptr ConvertSound_16m_16m(QKSoundHeader* source);
Ptr ConvertSound_16s_16m(QKSoundHeader* source);
Ptr ConvertSound_16s_16s(QKSoundHeader* source);

typedef unsigned char (*ALSoundSetupProc)(ALSound* sound, int index, int format, short* samples, unsigned bytes,
                                          unsigned hertz);
// Folds the command's samples to 16-bit mono and hands them to `setup`, or
// to ALSound::Setup when it is null.
unsigned char SetupALSound(ALSound* sound, SoundCommand* command, int index, ALSoundSetupProc setup);
