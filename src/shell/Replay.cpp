#include "shell/Replay.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "foundation/DataUtils.h"
#include "foundation/ErrorDialog.h"
#include "foundation/Random.h"
#include "foundation/StringFunctions.h"
#include "shell/ApplInfo.h"
#include "shell/Events.h"
#include "shell/StandardDialog.h"
#include "shell/Startup.h"

Replay mainREPLAY;
Str255 replayLastFileSTR;
Str255 replayLastFuncSTR;
SInt32 replayLastLineNUM;

namespace {

const SInt16 kCautionIconID = 2;

void WriteWord(std::FILE* f, UInt32 v) {
  const unsigned char bytes[4] = {UInt8(v >> 24), UInt8(v >> 16), UInt8(v >> 8), UInt8(v)};
  std::fwrite(bytes, 1, 4, f);
}

bool ReadWord(std::FILE* f, UInt32* v) {
  unsigned char b[4];
  if (std::fread(b, 1, 4, f) != 4) return false;
  *v = UInt32(b[0]) << 24 | UInt32(b[1]) << 16 | UInt32(b[2]) << 8 | b[3];
  return true;
}

const char* FileName(const char* path) {
  const char* slash = path ? std::strrchr(path, '/') : nullptr;
  return slash ? slash + 1 : path ? path : "";
}

void SetPString(unsigned char* p, const std::string& s) {
  size_t n = std::min<size_t>(s.size(), 255);
  p[0] = UInt8(n);
  std::memcpy(p + 1, s.data(), n);
}

// "file\rLine #n\rfunction()".
std::string Place(const std::string& file, SInt32 line, const std::string& function) {
  return file + "\rLine #" + std::to_string(line) + "\r" + function + "()";
}

}  // namespace

Replay::Replay()
    : name1{},
      name2{},
      stream(nullptr),
      trace(nullptr),
      bytesUsed(0),
      state(kIdle),
      bitPosition(0),
      spot(0),
      seed(0),
      bufferSize(0),
      chunkSize(1),
      buffer(nullptr),
      bitsLoaded(0),
      endFlag(false) {}

Replay::~Replay() { delete[] buffer; }

void Replay::Reset() {
  state = kIdle;
  endFlag = false;
}

// The recorder may fill the buffer up to a 32-bit value begun in the last
// bit of its first chunk, and the player keeps only whole chunks in it: the
// buffer holds at least as many whole chunks as reach past one chunk and 4
// bytes, so that every value recorded can be played back.
void Replay::NewBuffer() {
  if (chunkSize == 0) chunkSize = 1;
  UInt64 chunks = (UInt64(chunkSize) + 4 + chunkSize - 1) / chunkSize;
  UInt64 least = std::max<UInt64>(8, chunks * chunkSize);
  bufferSize = UInt32(std::min<UInt64>(std::max<UInt64>(bufferSize, least), 0xFFFFFFFFu));
  delete[] buffer;
  buffer = new UInt8[bufferSize]();
  bitPosition = 0;
  spot = 0;
  bitsLoaded = 0;
}

void Replay::Record() {
  if (state != kIdle || !stream) return;
  APPL.SaveReplayPrefs();
  state = kRecording;
  std::fseek(stream, 0, SEEK_END);
  long length = std::ftell(stream);
  bytesUsed = length > 0 ? UInt32(length) : 0;
  seed = randomSEED;
  WriteWord(stream, seed);
  bytesUsed += 4;
  NewBuffer();
}

void Replay::Play() {
  if (!stream) {
    ErrorDialog("Must load a replay first", "", 0, 1);
    return;
  }
  if (state != kIdle) return;
  APPL.SaveReplayPrefs();
  state = kPlaying;
  if (ReadWord(stream, &seed)) randomSEED = seed;
  NewBuffer();
}

void Replay::Stop() {
  if (state != kRecording && state != kPlaying) return;
  if (state == kRecording) {
    CheckWrite(true);
    std::fclose(stream);
    stream = nullptr;
    if (trace) std::fclose(trace);
    trace = nullptr;
  }
  state = kStopped;
  APPL.RestoreReplayPrefs();
}

void Replay::CheckWrite(unsigned char flush) {
  const UInt32 chunkBits = chunkSize * 8;
  if (flush && bitPosition % chunkBits) bitPosition += chunkBits - bitPosition % chunkBits;
  bool wrote = false;
  while (bitPosition >= chunkBits) {
    std::fwrite(buffer, 1, chunkSize, stream);
    std::memmove(buffer, buffer + chunkSize, bufferSize - chunkSize);
    std::memset(buffer + bufferSize - chunkSize, 0, chunkSize);
    bytesUsed += chunkSize;
    bitPosition -= chunkBits;
    wrote = true;
  }
  if (wrote) std::fflush(stream);
}

void Replay::CheckRead() {
  if (state != kPlaying) return;
  const UInt32 chunkBits = chunkSize * 8;
  while (bitPosition >= chunkBits) {
    std::memmove(buffer, buffer + chunkSize, bufferSize - chunkSize);
    std::memset(buffer + bufferSize - chunkSize, 0, chunkSize);
    bitPosition -= chunkBits;
    bitsLoaded -= std::min(bitsLoaded, chunkBits);
  }
  while (!endFlag && bitsLoaded / 8 + chunkSize <= bufferSize) {
    size_t got = stream ? std::fread(buffer + bitsLoaded / 8, 1, chunkSize, stream) : 0;
    bitsLoaded += UInt32(got) * 8;
    if (got < chunkSize) endFlag = true;
  }
}

bool Replay::Room(UInt32 bits) const {
  if (state == kRecording) return bitPosition + bits <= bufferSize * 8;
  if (state == kPlaying) return bitPosition + bits <= bitsLoaded;
  return false;
}

UInt32 Replay::Value(UInt32 live, UInt32 bits) {
  if (state == kRecording) {
    if (bitPosition + bits > bufferSize * 8) {
      ErrorDialog("Replay buffer overrun.", "", 0, 1);
      return live;
    }
    SetBits(buffer, SInt32(bitPosition), bits, live);
    bitPosition += bits;
    spot += bits;
    CheckWrite(false);
    return live;
  }
  if (state == kPlaying) {
    CheckRead();
    if (bitPosition + bits <= bitsLoaded) {
      UInt32 v = ReadBits(buffer, SInt32(bitPosition), bits);
      bitPosition += bits;
      spot += bits;
      return v;
    }
    Stop();
  }
  return live;
}

SInt32 Replay::Long(SInt32 value) { return SInt32(Value(UInt32(value), 32)); }
SInt16 Replay::Short(SInt16 value) { return SInt16(Value(UInt16(value), 16)); }
char Replay::Char(char value) { return char(Value(UInt8(value), 8)); }
UInt8 Replay::Bit(UInt8 value) { return UInt8(Value(value ? 1 : 0, 1)); }

// Past the end of the checkpoint stream there is nothing to compare.
void Replay::Advance(const char* file, SInt32 line, const char* function) {
  if (!trace) return;
  if (state == kRecording) {
    WriteWord(trace, randomSEED);
    WriteWord(trace, spot);
    std::fflush(trace);
  } else if (state == kPlaying) {
    UInt32 traceSeed, traceSpot;
    if (!ReadWord(trace, &traceSeed) || !ReadWord(trace, &traceSpot)) return;
    if (!endFlag && traceSpot != spot) {
      endFlag = true;
      ReplayErrorDialog(reinterpret_cast<const unsigned char*>("\035Replay spot is out of sync!\r\r"), file, line,
                        function);
    }
    if (!endFlag && traceSeed != randomSEED) {
      endFlag = true;
      ReplayErrorDialog(reinterpret_cast<const unsigned char*>("\035Replay seed is out of sync!\r\r"), file, line,
                        function);
    }
  }
}

SInt32 ReplayLong(SInt32 value) { return mainREPLAY.Long(value); }
SInt16 ReplayShort(SInt16 value) { return mainREPLAY.Short(value); }
char ReplayChar(char value) { return mainREPLAY.Char(value); }
UInt8 ReplayBit(UInt8 value) { return mainREPLAY.Bit(value); }

Point ReplayMouseDelta() {
  Point d = GetMouseDelta();
  d.h = ReplayShort(d.h);
  d.v = ReplayShort(d.v);
  return d;
}

void ReplayMouse(Point* where) {
  GetMouse(where);
  where->h = ReplayShort(where->h);
  where->v = ReplayShort(where->v);
}

bool ReplayMouseState() { return ReplayBit(GetMouseState()); }

bool ReplayClick(SInt16* h, SInt16* v) {
  bool clicked = ClickEvent(h, v);
  SInt16 state = mainREPLAY.GetState();
  if ((state == Replay::kRecording || state == Replay::kPlaying) && mainREPLAY.Room(33)) {
    *h = ReplayShort(*h);
    *v = ReplayShort(*v);
    clicked = ReplayBit(clicked);
  }
  return clicked;
}

bool ReplayModifier(SInt32 modifiers) { return ReplayBit(ModifierEvent(modifiers, nullptr)); }
bool ReplayAuto(SInt32 key) { return ReplayBit(AutoKeyEvent(key)); }
bool ReplayEvent(SInt32 key, SInt32 modifiers) { return ReplayBit(KeyEvent(key, modifiers, nullptr)); }

bool ReplayKey_Trace(char key, const char* file, SInt32 line, const char* function) {
  bool down = ReplayBit(KeyState(UInt8(key)));
  CheckReplay_Trace(file, line, function);
  return down;
}

void AdvanceReplay_Trace(const char* file, SInt32 line, const char* function) {
  mainREPLAY.Advance(FileName(file), line, function);
}

void CheckReplay_Trace(const char* file, SInt32 line, const char* function) {
  if (!mainREPLAY.trace) return;
  mainREPLAY.Advance(FileName(file), line, function);
  SetPString(replayLastFileSTR, FileName(file));
  SetPString(replayLastFuncSTR, function ? function : "");
  replayLastLineNUM = line;
}

void ReplayErrorDialog(const unsigned char* message, const char* file, SInt32 line, const char* function) {
  const SInt16 width = 408, height = 152;
  Rect bounds = DlogPosition(width, height, 0);
  WindowRef window = NewStandardDialog(&bounds, reinterpret_cast<const unsigned char*>(""), 0);
  Rect local{0, 0, height, width};
  Rect r = ButtonPosition_Dlog(&local, 0);
  SetDefaultControl(
      NewDialogControl(window, &r, kPushButtonProc, reinterpret_cast<const unsigned char*>("\2OK"), 0, 0, 1), 1);
  r = ButtonPosition_Dlog(&local, 1);
  ControlRef quit =
      NewDialogControl(window, &r, kPushButtonProc, reinterpret_cast<const unsigned char*>("\4Quit"), 0, 0, 1);
  SetCancelControl(quit, 1);
  quit->command = FOUR_CHAR('q', 'u', 'i', 't');
  r = IconPosition();
  NewDialogControl(window, &r, kIconProc, reinterpret_cast<const unsigned char*>(""), kCautionIconID, 0, 0);
  r = TextPosition(&local);
  NewDialogControl(window, &r, kStaticTextProc, message, 0, 0, 0);
  Str255 last, now;
  SetPString(last, Place(std::string(reinterpret_cast<const char*>(replayLastFileSTR + 1), replayLastFileSTR[0]),
                         replayLastLineNUM,
                         std::string(reinterpret_cast<const char*>(replayLastFuncSTR + 1), replayLastFuncSTR[0])));
  SetPString(now, Place(FileName(file), line, function ? function : ""));
  r = TextPosition(&local);
  Rect box{SInt16(r.top + 40), r.left, SInt16(r.top + 84), SInt16(r.left + 144)};
  NewDialogControl(window, &box, kStaticTextProc, last, 0, 0, 0);
  box.left = SInt16(box.right + 8);
  box.right = SInt16(box.left + 144);
  NewDialogControl(window, &box, kStaticTextProc, now, 0, 0, 0);
  UInt32 command = RunStandardDialog(window, nullptr, 0);
  DisposeDialogWindow(window);
  if (command == FOUR_CHAR('q', 'u', 'i', 't')) Shutdown(0);
}
