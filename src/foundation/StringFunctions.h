// Free functions on the engine's two kinds of text:
// - length-prefixed strings: byte 0 is the length, the characters follow with
//   no terminator. Fields hold 31 characters (32 bytes: names, keys, numbers)
//   or 255 (256 bytes). Unsuffixed copies and appends are the 31-character
//   ones and refuse a longer result; the "255" forms cut at 255.
// - NUL-terminated strings: paths, formats, messages.
// Characters are single bytes of the 8-bit Mac Roman set, where 0xCA is the
// non-breaking space. Results go into the caller's buffers and nothing here
// reports: a refusal is the result -1 with the target left exactly as it was.
#pragma once

#include <string>

#include "platform/PlatformTypes.h"

// Copying and appending length-prefixed strings: 0 on success, -1 refused.
SInt16 CopyString(const unsigned char* src, unsigned char* dst);
SInt16 CopyString255(const unsigned char* src, unsigned char* dst);
SInt16 AddString(const unsigned char* src, unsigned char* dst);
SInt16 AddString255(const unsigned char* src, unsigned char* dst);
SInt16 ClearString(unsigned char* s);
SInt16 AddNumToString(SInt32 n, unsigned char* s);
SInt16 AddNumToString255(SInt32 n, unsigned char* s);
SInt16 AddCharToString(unsigned char c, unsigned char* s);
// Appends word n (from 1) of src to dst; nothing when n is out of range.
// dst never grows past max characters: 31-character targets pass 31.
void AddStringWord(char n, const unsigned char* src, unsigned char* dst, unsigned char max = 255);

// Conversions.
void CToPStr(const char* c, unsigned char* p);
void PToCStr(const unsigned char* p, char* c);  // c holds length + 1 bytes
void QK_NumToString(SInt32 n, unsigned char* s);
void QK_StringToNum(const unsigned char* s, SInt32* n);
UInt32 GetCodeFromString(const unsigned char* s);
void GetStringFromCode(unsigned char* s, UInt32 code);

// Comparisons. The two flag bytes of the first pair are accepted and ignored:
// the comparison is always exact.
Boolean QK_EqualString(const unsigned char* a, const unsigned char* b, unsigned char, unsigned char);
Boolean EqualStr(const unsigned char* a, const unsigned char* b, unsigned char caseSens, unsigned char diacSens);
SInt16 CompString(const unsigned char* a, const unsigned char* b);
bool EqualStr(const char* a, const char* b);
bool EqualStr(const char* c, const unsigned char* p);
bool EqualStr(const unsigned char* p, const char* c);
int strcmplen(const char* a, const char* b, UInt32 n);
bool EmptyString(const void* p);

// Case, spaces and words of length-prefixed strings, changed in place.
void LowercaseString(unsigned char* s);
void UppercaseString(unsigned char* s);
void SmartcaseString(unsigned char* s);
void StripSpaces(unsigned char* s);
char CountWords(const unsigned char* s);
bool CharInPStr(unsigned char c, const unsigned char* s);
bool CharInCStr(char c, const char* s);
bool WhiteSpace(char c);

// Names with extensions ("pic.png") and array suffixes ("Name[4][16]").
// ext receives everything after the first sep: it must have room for name.
void GetStringExtension(const unsigned char* name, unsigned char* ext, char sep);
void StripStringExtension(unsigned char* name, char sep);
void StripStringArray(unsigned char* name);
SInt16 GetStringArrayDimensions(const unsigned char* name);
SInt16 GetStringArraySize(const unsigned char* name, char dim);

// NUL-terminated utilities.
SInt16 CopyCString(const char* src, char* dst);
UInt32 strcatmax(char* dst, const char* src, UInt32 max);
UInt32 strcpylen(char* dst, const char* src, UInt32 len);
UInt32 strcpymax(char* dst, const char* src, UInt32 max);
int strpos(const char* s, char c, int offset);
int strpos(const char* s, const char* sub, int offset);
int strrpos(const char* s, char c, int offset);
int strrpos(const char* s, const char* sub, int offset);
int strcount(const char* s, char c, int offset);
int strcount(const char* s, const char* sub, int offset);
char* strtok2(char* s, const char* delim);
void ParamText_Str(std::string* text, const char* t0, const char* t1 = nullptr, const char* t2 = nullptr,
                   const char* t3 = nullptr);
char PlatformChar();
void GetPlatformStr(const char* src, char* dst, int max);
