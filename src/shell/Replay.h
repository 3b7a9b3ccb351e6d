// The input replay recorder. A game that draws all its randomness from the
// engine's generator and all its input through the functions below can be
// replayed exactly: while recording, each value the game consumes is
// appended to a bit stream after the generator's seed; while playing, the
// stream's values replace the live ones until it runs out. Checkpoints
// write the seed and the stream position to an optional second stream, so
// that a replay that drifts is reported where it first differs.
//
// Replay stream: the seed (4 bytes, big-endian), then each value's low N
// bits (N = 32, 16, 8 or 1), least significant first, filling each byte
// from its high bit down; written in whole chunks, the last padded with 0.
// Checkpoint stream: per checkpoint the seed and the bit count so far, two
// big-endian 32-bit words.
#pragma once

#include <cstdio>

#include "platform/PlatformTypes.h"

class Replay {
 public:
  enum : SInt16 { kIdle = 0, kRecording = 1, kPlaying = 2, kStopped = 3 };

  Replay();
  ~Replay();
  Replay(const Replay&) = delete;
  Replay& operator=(const Replay&) = delete;

  void Record();
  void Play();
  void Stop();
  void Save() { Stop(); }
  void Load() { Reset(); }
  void Reset();
  SInt16 GetState() const { return state; }
  UInt32 KilobytesUsed() const { return bytesUsed / 1024; }

  void CheckWrite(unsigned char flush);
  void CheckRead();
  void Advance(const char* file, SInt32 line, const char* function);

  // Each takes the live value and answers the value to use.
  SInt32 Long(SInt32 value);
  SInt16 Short(SInt16 value);
  char Char(char value);
  UInt8 Bit(UInt8 value);
  // Whether at least `bits` more can be recorded or played without a
  // buffer turn-over.
  bool Room(UInt32 bits) const;

  Str255 name1;
  Str255 name2;
  std::FILE* stream;  // opened (and handed over) by the caller
  std::FILE* trace;   // optional, likewise
  UInt32 bytesUsed;
  SInt16 state;
  UInt32 bitPosition;
  UInt32 spot;
  UInt32 seed;
  UInt32 bufferSize;
  UInt32 chunkSize;
  UInt8* buffer;
  UInt32 bitsLoaded;
  bool endFlag;

 private:
  UInt32 Value(UInt32 live, UInt32 bits);
  void NewBuffer();
};

extern Replay mainREPLAY;
extern Str255 replayLastFileSTR;
extern Str255 replayLastFuncSTR;
extern SInt32 replayLastLineNUM;

SInt32 ReplayLong(SInt32 value);
SInt16 ReplayShort(SInt16 value);
char ReplayChar(char value);
UInt8 ReplayBit(UInt8 value);

Point ReplayMouseDelta();
void ReplayMouse(Point* where);
bool ReplayMouseState();
bool ReplayClick(SInt16* h, SInt16* v);
bool ReplayModifier(SInt32 modifiers);
bool ReplayAuto(SInt32 key);
bool ReplayEvent(SInt32 key, SInt32 modifiers);
bool ReplayKey_Trace(char key, const char* file, SInt32 line, const char* function);
#define ReplayKey(key) ReplayKey_Trace(key, __FILE__, __LINE__, __func__)

void AdvanceReplay_Trace(const char* file, SInt32 line, const char* function);
void CheckReplay_Trace(const char* file, SInt32 line, const char* function);
#define AdvanceReplay() AdvanceReplay_Trace(__FILE__, __LINE__, __func__)
#define CheckReplay() CheckReplay_Trace(__FILE__, __LINE__, __func__)

// Shows where the replay last agreed and where it is now; "Quit" ends the
// program.
void ReplayErrorDialog(const unsigned char* message, const char* file, SInt32 line, const char* function);
