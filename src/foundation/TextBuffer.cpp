#include "foundation/TextBuffer.h"

#include <algorithm>
#include <new>

#include "foundation/DataUtils.h"
#include "foundation/ErrorDialog.h"
#include "foundation/Memory.h"
#include "foundation/StringFunctions.h"

BufferParams buffPARAMS;

namespace {

const unsigned char kDefaultSkipChars[] = {',', ';', ' ', 0xCA, '\t'};

bool IsWordChar(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

unsigned char FoldCase(unsigned char c, bool fold) { return fold && c >= 'A' && c <= 'Z' ? c + 32 : c; }

bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }

}  // namespace

TextBuffer::TextBuffer()
    : data(nullptr),
      allocEnd(nullptr),
      cursor(nullptr),
      dataEnd(nullptr),
      skipChar(0, (const unsigned char*)"\x09(unnamed)") {
  Init(kGrowStep);
  DefaultSkipChars();
}

TextBuffer::~TextBuffer() {
  delete[] data;
  data = allocEnd = cursor = dataEnd = nullptr;
  skipChar.Dispose();
}

void TextBuffer::Init(SInt32 size) {
  delete[] data;
  data = allocEnd = cursor = dataEnd = nullptr;
  data = size >= 0 ? new (std::nothrow) unsigned char[size]() : nullptr;
  if (!data) {
    ErrorDialog("Not enough memory to initialize text buffer.", "", 0, 1);
    return;
  }
  cursor = dataEnd = data;
  allocEnd = data + size;
}

void TextBuffer::DefaultSkipChars() {
  skipChar.ManualInit(0);
  skipChar.SetName((const unsigned char*)"\x08skipChar", -1);
  for (unsigned char c : kDefaultSkipChars) AddSkipChar(c);
}

void TextBuffer::AddSkipChar(unsigned char c) {
  skipChar.Resize(skipChar.Size() + 1, 0);
  skipChar[skipChar.Size() - 1] = c;
}

void TextBuffer::RemoveSkipChar(unsigned char c) {
  for (UInt32 i = 0; i < skipChar.Size(); i++) {
    if (skipChar[i] == c) {
      skipChar.RemoveEntries(i, 1);
      return;
    }
  }
}

Boolean TextBuffer::CheckSkipChar(unsigned char c) {
  for (UInt32 i = 0; i < skipChar.Size(); i++)
    if (skipChar[i] == c) return 1;
  return 0;
}

void TextBuffer::SetPos(SInt32 offset) {
  if (!data) return;
  cursor = data + std::clamp<SInt64>(offset, 0, dataEnd - data);
}

void TextBuffer::OffsPos(SInt32 delta) {
  if (!data) return;
  SetPos(SInt32(std::clamp<SInt64>(SInt64(cursor - data) + delta, 0, dataEnd - data)));
}

void TextBuffer::SetRead(unsigned char* pointer) {
  if (data) cursor = pointer;
}

bool TextBuffer::HasStorage(const char* where) {
  if (data) return true;
  ErrorDialog("The text buffer is \"nil.\"", where, 0, 1);
  return false;
}

unsigned char TextBuffer::ReadChar() {
  if (!HasStorage("TextBuffer::ReadChar()") || AtEnd()) return 0;
  return *cursor++;
}

void TextBuffer::ReadText(unsigned char* out, unsigned char keepSkip) {
  bool keep = buffPARAMS.keepSkip || keepSkip;
  buffPARAMS.keepSkip = 0;
  out[0] = 0;
  if (!HasStorage("TextBuffer::ReadText()") || AtEnd()) return;
  SInt32 count = 0;
  unsigned char c = ReadChar();
  while (c != 13 && c != 10 && count < 254 && (keep || !CheckSkipChar(c))) {
    out[++count] = c;
    if (AtEnd()) {  // the last byte is stored and nothing is given back
      out[0] = UInt8(count);
      return;
    }
    c = ReadChar();
  }
  out[0] = UInt8(count);
  cursor--;
}

unsigned char* TextBuffer::SkipSpace(unsigned char** where) {
  if (!HasStorage("TextBuffer::SkipSpace()")) return nullptr;
  if (where && *where) cursor = std::clamp(*where, data, dataEnd);
  while (!AtEnd() && CheckSkipChar(*cursor)) cursor++;
  if (where) *where = cursor;
  return cursor;
}

SInt32 TextBuffer::CheckDataSize() {
  if (!HasStorage("TextBuffer::CheckDataSize()")) return 0;
  unsigned char* p = cursor;
  while (p < dataEnd && !CheckSkipChar(*p)) p++;
  return SInt32(p - cursor);
}

SInt32 TextBuffer::ReadData(void* dst, SInt32 n) {
  if (!HasStorage("TextBuffer::ReadData()")) return 0;
  SInt32 count = SInt32(std::clamp<SInt64>(n, 0, dataEnd - cursor));
  if (dst) BlockMove(cursor, dst, count);
  cursor += count;
  return count;
}

SInt32 TextBuffer::ReadNum() {
  if (!HasStorage("TextBuffer::ReadNum()")) return 0;
  while (!AtEnd() && !IsDigit(*cursor)) cursor++;
  Str255 digits = {0};
  for (; !AtEnd() && IsDigit(*cursor); cursor++)
    if (digits[0] < 255) digits[++digits[0]] = *cursor;
  SInt32 n = 0;
  QK_StringToNum(digits, &n);
  return n;
}

SInt32 TextBuffer::FindText(const unsigned char* text, unsigned char wholeWord, unsigned char moveCursor,
                            unsigned char caseSensitive) {
  if (!HasStorage("TextBuffer::FindText()")) return -1;
  SInt32 length = std::min<SInt32>(text[0], 31);
  if (length == 0) return -1;
  bool fold = !caseSensitive;
  for (unsigned char* p = cursor; dataEnd - p >= length; p++) {
    SInt32 i = 0;
    while (i < length && FoldCase(p[i], fold) == FoldCase(text[1 + i], fold)) i++;
    if (i < length) continue;
    if (wholeWord && ((p > data && IsWordChar(p[-1])) || (p + length < dataEnd && IsWordChar(p[length])))) continue;
    if (moveCursor) cursor = p + length;
    return SInt32(p + length - data);
  }
  return -1;
}

SInt32 TextBuffer::FindChar(unsigned char c, unsigned char moveCursor) {
  if (!HasStorage("TextBuffer::FindChar()")) return -1;
  unsigned char* p = std::find(cursor, dataEnd, c);
  if (p == dataEnd) return -1;
  if (moveCursor) cursor = p + 1;
  return SInt32(p + 1 - data);
}

void TextBuffer::WriteData(const void* src, SInt32 n) {
  if (!HasStorage("TextBuffer::WriteData()") || n <= 0) return;
  SInt64 size = allocEnd - data, used = dataEnd - data, at = cursor - data;
  if (used + n > size) {
    // Grows by whole steps and by at least half the present size, so that
    // writing a large text costs linear time, not one copy per step.
    SInt64 wanted = std::max<SInt64>(used + n, size + size / 2);
    SInt64 grown = size + (wanted - size + kGrowStep - 1) / kGrowStep * kGrowStep;
    unsigned char* block = grown <= 0x7FFFFFFF ? new (std::nothrow) unsigned char[grown]() : nullptr;
    if (!block) {
      ErrorDialog("Not enough memory to expand buffer size.", "TextBuffer::WriteData()", 0, 1);
      return;
    }
    BlockMove(data, block, SInt32(at));
    BlockMove(cursor, block + at + n, SInt32(used - at));
    delete[] data;
    data = block;
    allocEnd = block + grown;
    cursor = block + at;
  } else {
    BlockMove(cursor, cursor + n, SInt32(used - at));
  }
  BlockMove(src, cursor, n);
  cursor += n;
  dataEnd = data + used + n;
}

void TextBuffer::WriteText(const unsigned char* text) { WriteData(text + 1, text[0]); }

void TextBuffer::WriteChar(unsigned char c) { WriteData(&c, 1); }

void TextBuffer::WriteNum(SInt32 n) {
  Str31 text;
  QK_NumToString(n, text);
  WriteText(text);
}

void TextBuffer::DeleteChars(SInt32 n) {
  if (!HasStorage("TextBuffer::DeleteChars()")) return;
  SInt32 count = SInt32(std::clamp<SInt64>(n, 0, dataEnd - cursor));
  BlockMove(cursor + count, cursor, SInt32(dataEnd - cursor - count));
  dataEnd -= count;
  std::fill(dataEnd, dataEnd + count, 0);
}

void TextBuffer::DeleteNum() {
  if (!HasStorage("TextBuffer::DeleteNum()")) return;
  while (!AtEnd() && !IsDigit(*cursor)) cursor++;
  SInt32 digits = 0;
  while (cursor + digits < dataEnd && IsDigit(cursor[digits])) digits++;
  DeleteChars(digits);
}

void TextBuffer::CryptData(const unsigned char* key) {
  if (HasStorage("TextBuffer::CryptData()")) ::CryptData((char*)data, DataSize(), key);
}

SInt16 TextBuffer::LoadData(const char* bytes, SInt32 n) {
  n = std::max<SInt32>(n, 0);
  Init(n);
  if (!data) return -1;
  BlockMove(bytes, data, n);
  dataEnd = data + n;
  return 0;
}

SInt16 TextBuffer::LoadFile(FILE* file, SInt32 length) {
  if (!file) {
    ErrorDialog("The import text file is \"nil.\"", "TextBuffer::LoadFile()", 0, 1);
    return -1;
  }
  // What the stream still holds bounds every length, so a length read from
  // the file cannot make us allocate more than the file.
  long start = std::ftell(file), end = -1;
  if (start >= 0 && std::fseek(file, 0, SEEK_END) == 0) end = std::ftell(file);
  if (length == 0) start = 0;
  if (start >= 0) std::fseek(file, start, SEEK_SET);
  if (length == -1) {
    unsigned char prefix[4];
    if (std::fread(prefix, 1, 4, file) != 4) {
      Init(0);
      return -1;
    }
    UInt32 stated = (UInt32(prefix[0]) << 24) | (UInt32(prefix[1]) << 16) | (UInt32(prefix[2]) << 8) | prefix[3];
    length = SInt32(std::min<UInt32>(stated, 0x7FFFFFFF));
    start += 4;
  }
  if (end >= 0 && start >= 0 && (length == 0 || length > end - start)) length = SInt32(std::max<long>(end - start, 0));
  Init(std::max<SInt32>(length, 0));
  if (!data) return -1;
  dataEnd = data + std::fread(data, 1, BuffSize(), file);
  return 0;
}

SInt16 TextBuffer::SaveFile(FILE* file) {
  if (!file) {
    ErrorDialog("The import text file is \"nil.\"", "TextBuffer::SaveFile()", 0, 1);
    return -1;
  }
  std::rewind(file);
  size_t size = size_t(DataSize());
  if (std::fwrite(data, 1, size, file) != size || std::fflush(file) != 0 || std::ferror(file)) return -1;
  return 0;
}
