// Basic records and integer types shared by the whole engine.
// The engine was designed around 32-bit longs, 16-bit shorts and signed chars;
// these typedefs fix those widths on every target.
#pragma once

#include <cstddef>
#include <cstdint>

typedef int8_t SInt8;
typedef uint8_t UInt8;
typedef int16_t SInt16;
typedef uint16_t UInt16;
typedef int32_t SInt32;
typedef uint32_t UInt32;
typedef int64_t SInt64;
typedef uint64_t UInt64;

typedef unsigned char Boolean;
typedef SInt16 OSErr;
typedef SInt32 OSStatus;
typedef UInt32 FourCharCode;
typedef FourCharCode OSType;
typedef FourCharCode ResType;
typedef SInt32 Fixed;
typedef SInt32 Size;

typedef char* Ptr;
typedef Ptr* Handle;

// Length-prefixed strings: byte 0 holds the length, the characters follow.
typedef unsigned char Str255[256];
typedef unsigned char Str63[64];
typedef unsigned char Str32[33];
typedef unsigned char Str31[32];
typedef unsigned char Str15[16];
typedef unsigned char* StringPtr;
typedef const unsigned char* ConstStringPtr;
typedef const unsigned char* ConstStr255Param;
typedef const unsigned char* ConstStr31Param;

// A UTF-16 name of at most 255 units, as file names are kept.
typedef UInt16 UniChar;
struct HFSUniStr255 {
  UInt16 length;
  UniChar unicode[255];
};

struct Point {
  SInt16 v;
  SInt16 h;
};

struct Rect {
  SInt16 top;
  SInt16 left;
  SInt16 bottom;
  SInt16 right;
};

// A packed four-byte version: major, minor and bug-fix sharing a byte, stage,
// pre-release number.
struct NumVersion {
  UInt8 nonRelRev;
  UInt8 stage;
  UInt8 minorAndBugRev;
  UInt8 majorRev;
};

struct UnsignedWide {
  UInt32 lo;
  UInt32 hi;
};

enum : OSErr {
  noErr = 0,
  paramErr = -50,
  fnfErr = -43,
  fBsyErr = -47,
  dupFNErr = -48,
  dirNFErr = -120,
  memFullErr = -108,
  memWZErr = -111,
  memBCErr = -115,
  memSCErr = -116,
};

// Builds a four-character code from its characters, most significant first.
constexpr FourCharCode FOUR_CHAR(char a, char b, char c, char d) {
  return (UInt32(UInt8(a)) << 24) | (UInt32(UInt8(b)) << 16) | (UInt32(UInt8(c)) << 8) | UInt32(UInt8(d));
}

// A calendar date and time; dayOfWeek 1 is Sunday.
struct DateTimeRec {
  SInt16 year;
  SInt16 month;
  SInt16 day;
  SInt16 hour;
  SInt16 minute;
  SInt16 second;
  SInt16 dayOfWeek;
};

// A running process.
struct ProcessSerialNumber {
  UInt32 highLongOfPSN;
  UInt32 lowLongOfPSN;
};

// A colour of three 16-bit channels.
struct RGBColor {
  UInt16 red;
  UInt16 green;
  UInt16 blue;
};

// The window system's own window, opaque outside the platform's
// implementation.
struct PlatformWindow;

// Our own window record behind WindowRef. refCon is the application's
// reference constant (an OpenGL window keeps its context record there).
struct WindowRecord {
  PlatformWindow* platform;
  void* refCon;
  SInt16 kind;
};
typedef WindowRecord* WindowRef;
typedef WindowRef WindowPtr;
