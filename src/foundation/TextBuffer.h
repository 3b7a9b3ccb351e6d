// A growable block of bytes with a cursor: the stream under the property-list
// reader and writer and the layout loader. Writes insert at the cursor; reads
// take words, numbers and raw bytes, with a configurable set of skip
// characters as separators. Positions are byte offsets from the start.
#pragma once

#include <cstdio>

#include "foundation/Array.h"
#include "platform/PlatformTypes.h"

// One-shot settings for the next ReadText.
struct BufferParams {
  unsigned char keepSkip;  // read through skip characters

  BufferParams() { Reset(); }
  void Reset() { keepSkip = 0; }
};
extern BufferParams buffPARAMS;

class FileClass;

class TextBuffer {
 public:
  static constexpr SInt32 kGrowStep = 32768;

  unsigned char* data;
  unsigned char* allocEnd;
  unsigned char* cursor;
  unsigned char* dataEnd;
  Array<unsigned char> skipChar;

  TextBuffer();
  ~TextBuffer();
  TextBuffer(const TextBuffer&) = delete;
  TextBuffer& operator=(const TextBuffer&) = delete;

  void Init(SInt32 size);
  void DefaultSkipChars();
  void AddSkipChar(unsigned char c);
  void RemoveSkipChar(unsigned char c);
  Boolean CheckSkipChar(unsigned char c);

  unsigned char* Start() { return data; }
  unsigned char* Read() { return data ? cursor : nullptr; }
  unsigned char* DataEnd() { return data ? dataEnd : nullptr; }
  SInt32 BuffSize() { return data ? SInt32(allocEnd - data) : 0; }
  SInt32 DataSize() { return data ? SInt32(dataEnd - data) : 0; }
  void SetPos(SInt32 offset);
  void OffsPos(SInt32 delta);
  SInt32 GetPos() { return data ? SInt32(cursor - data) : -1; }
  void EndPos() { SetPos(DataSize()); }
  void SetRead(unsigned char* pointer);

  // The byte at the cursor, which moves on; 0 at the data end, where nothing
  // is read.
  unsigned char ReadChar();
  // A word of at most 254 characters, up to CR, LF, the data end or (unless
  // keepSkip or buffPARAMS says otherwise) a skip character, which is left
  // as the next byte to read.
  void ReadText(unsigned char* out, unsigned char keepSkip = 0);
  unsigned char* SkipSpace(unsigned char** where = nullptr);
  SInt32 CheckDataSize();
  SInt32 ReadData(void* dst, SInt32 n);
  // The next run of decimal digits (no sign); digits past the 255th are
  // passed over.
  SInt32 ReadNum();
  // Offset just past the match, or -1. Whole words are bounded by bytes that
  // are not ASCII letters, digits or '_'.
  SInt32 FindText(const unsigned char* text, unsigned char wholeWord, unsigned char moveCursor,
                  unsigned char caseSensitive);
  SInt32 FindChar(unsigned char c, unsigned char moveCursor);

  void WriteData(const void* src, SInt32 n);
  void WriteText(const unsigned char* text);
  void WriteChar(unsigned char c);
  void WriteNum(SInt32 n);
  // Removes up to n bytes at the cursor (never more than there are).
  void DeleteChars(SInt32 n);
  void DeleteNum();
  void CryptData(const unsigned char* key);

  SInt16 LoadData(const char* bytes, SInt32 n);
  // length 0: the whole stream; -1: a 4-byte big-endian length comes first.
  // The content is what was actually read.
  SInt16 LoadFile(FILE* file, SInt32 length);
  // -1 for no stream or when the bytes could not all be written.
  SInt16 SaveFile(FILE* file);
  // The whole open data fork of a FileClass (PlistFiles.cpp); the save
  // replaces the file through the safe save. Results are error codes.
  SInt16 LoadFile(FileClass* file);
  SInt16 SaveFile(FileClass* file);

 private:
  bool HasStorage(const char* where);
  bool AtEnd() const { return cursor >= dataEnd; }
};
