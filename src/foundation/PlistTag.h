// One node of a property-list tree: the in-memory form of the preferences,
// score, layout and Info.plist files. A node has a type ("dict", "array",
// "string", "integer", "boolean", "data", or any word read from a file), a key
// inside its parent dictionary, a leaf value and ordered children. Names are
// compared byte for byte; types and keys hold at most 31 characters (a longer
// one is refused and the previous text kept), values 255.
//
// Ownership: children are heap nodes made by NewTag and freed by Delete or
// DeleteChildren. The destructor frees the node's data block and its whole
// subtree, so a root that goes out of scope leaves nothing behind.
#pragma once

#include <cstdio>
#include <string>

#include "foundation/Array.h"
#include "platform/PlatformTypes.h"

class FileClass;
class TextBuffer;

class PlistTag {
 public:
  Str31 type;
  Str31 key;
  Str255 value;
  char* data;  // "data" nodes: base64 text without NUL, from QKNewPtr; its size is the text's length
  PlistTag* parent;
  Array<PlistTag*> children;

  PlistTag();
  ~PlistTag();
  PlistTag(const PlistTag&) = delete;
  PlistTag& operator=(const PlistTag&) = delete;

  void Init();
  // Frees this node and its descendants. A root (no parent) is not freed
  // itself, only emptied: roots are plain local or member objects.
  void Delete();
  void DeleteChildren();
  SInt16 DeleteTag(const char* key);
  // Removes empty dictionaries and arrays bottom-up; never this node.
  void Cleanup();

  // Inside a dictionary a child of the same type and key is reused; inside an
  // array a new element is always appended. '<' or '>' in the type or key, a
  // key in an array, or a parent that is no container is a fatal report.
  // Values may hold any text: the writer escapes '<' and '>'.
  PlistTag* NewTag(const char* type, const char* key, const char* value);
  PlistTag* NewString(const char* key, const char* text);
  PlistTag* NewDictionary(const char* key);
  PlistTag* NewArray(const char* key);
  PlistTag* NewElement();
  PlistTag* NewChar(const char* key, char n);
  PlistTag* NewShort(const char* key, SInt16 n);
  PlistTag* NewLong(const char* key, SInt32 n);
  PlistTag* NewBoolean(const char* key, unsigned char flag);
  PlistTag* NewPoint(const char* key, Point& point);

  // With create set, a missing child is made holding "0" (integer, real),
  // "false/" (boolean) or "".
  PlistTag* FindTag(const char* type, const char* key, unsigned char create);
  PlistTag* FindString(const char* key, unsigned char create);
  PlistTag* FindDictionary(const char* key, unsigned char create);
  PlistTag* FindArray(const char* key, unsigned char create);
  PlistTag* FindBoolean(const char* key, unsigned char create);
  PlistTag* FindData(const char* key, unsigned char create);
  PlistTag* FindChar(const char* key, unsigned char create);
  PlistTag* FindLong(const char* key, unsigned char create);

  // Each returns the node found, or null leaving the target unchanged.
  PlistTag* GetTag(const char* type, const char* key, unsigned char* out, unsigned char create);
  PlistTag* GetNumber(const char* key, SInt32* n, unsigned char create);
  PlistTag* GetChar(const char* key, char* n, unsigned char create);
  PlistTag* GetShort(const char* key, SInt16* n, unsigned char create);
  PlistTag* GetLong(const char* key, SInt32* n, unsigned char create);
  PlistTag* GetBoolean(const char* key, unsigned char* flag, unsigned char create);
  PlistTag* GetString(const char* key, std::string* text, unsigned char create);
  PlistTag* GetPoint(const char* key, Point* point);
  PlistTag* GetRect(const char* key, Rect* rect);

  // 0, or -1 when no node could be found or made. SetString takes at most 31
  // characters (more is a fatal report).
  SInt16 SetString(const char* key, const char* text);
  SInt16 SetChar(const char* key, char n);
  SInt16 SetLong(const char* key, SInt32 n);
  SInt16 SetBoolean(const char* key, unsigned char flag);

  // Stores bytes (optionally packed, then enciphered) as base64 text. A
  // length of -1 means the allocated size of a memory-manager block. Packed
  // bytes shorter than the cipher's 32 are padded with zeros, which the
  // unpacking ignores; unpacked bytes under 32 cannot be enciphered (fatal
  // report).
  SInt16 SetData(const char* key, const void* bytes, SInt32 length, unsigned char packed, const char* cipherKey);
  // A new block (free it with QKDisposePtr) and its length; -1 when there is
  // no such "data" child or its bytes do not decode.
  SInt16 GetData(const char* key, void** out, SInt32* outLength, unsigned char packed, const char* cipherKey);
  SInt16 SaveArray(const char* key, Array<char>& array, unsigned char packed, const char* cipherKey);
  SInt16 SaveArray(const char* key, Array<unsigned char>& array, unsigned char packed, const char* cipherKey);
  SInt16 SaveArray(const char* key, Array<SInt16>& array, unsigned char packed, const char* cipherKey);
  SInt16 SaveArray(const char* key, Array<UInt16>& array, unsigned char packed, const char* cipherKey);
  SInt16 LoadArray(const char* key, Array<char>* array, unsigned char packed, const char* cipherKey);
  SInt16 LoadArray(const char* key, Array<unsigned char>* array, unsigned char packed, const char* cipherKey);
  SInt16 LoadArray(const char* key, Array<SInt16>* array, unsigned char packed, const char* cipherKey);
  SInt16 LoadArray(const char* key, Array<UInt16>* array, unsigned char packed, const char* cipherKey);

  void GetName(unsigned char* out);
  void GetTagName(unsigned char* out);
  UInt16 NumChildren();
  UInt16 NumElements();
  PlistTag* GetChild(UInt16 index);
  PlistTag* GetElement(UInt16 index);

  // Deep copy of type, key, value, data and children into dest, whose own
  // children are freed first.
  void CopyTo(PlistTag* dest);
  // Merge into dest: children of the same type and key are replaced.
  void AddTo(PlistTag* dest);

  // The text format. The writer emits TAB indentation and CR line ends with
  // no final CR; '<' and '>' in values are written as "&lt;" and "&gt;" and
  // the first '&' of a key as "&amp;" (stored so in the tree too). A
  // boolean holding "true/" or "false/" is written "<true/>" or "<false/>",
  // one holding any other text as "<boolean>text</boolean>". An "array" with
  // an empty key cannot be written (fatal report).
  void SaveBuffer(TextBuffer* buffer);
  void WriteTag(TextBuffer* buffer, SInt16* unused);
  SInt16 SaveFile(FILE* file);
  SInt16 SaveEncryptedFile(FILE* file, const unsigned char* key);
  // 0, or -1 when the text is not a whole tree that the writer could have
  // made: no "<dict>", a container that never closes, a key in an array, a
  // dictionary child without a key, an array in an array, an empty element
  // word, an element word holding a NUL byte, a key or element word over 31
  // characters, or nesting past 31 levels. Whatever it accepts, the writer
  // writes back as text that reads to the same tree. On -1 the node is left empty and nothing is reported, so callers
  // keep their defaults. Values over 254 characters are cut, not refused.
  SInt16 LoadBuffer(TextBuffer* buffer);
  SInt16 ReadTag(TextBuffer* buffer);
  SInt16 LoadFile(FILE* file);
  SInt16 LoadEncryptedFile(FILE* file, const unsigned char* key);

  // The same over a FileClass's open data fork (PlistFiles.cpp); a save
  // replaces the whole file through the safe save and answers its error.
  SInt16 SaveFile(FileClass* file);
  SInt16 SaveEncryptedFile(FileClass* file, const unsigned char* key);
  SInt16 LoadFile(FileClass* file);
  SInt16 LoadEncryptedFile(FileClass* file, const unsigned char* key);
  // Writes the tree as name + ".plist" on the Desktop, replacing an earlier
  // export; reads "version.plist" from the Desktop.
  SInt16 ExportFile(const char* name);
  SInt16 ImportFile();

 private:
  SInt16 ReadChildren(TextBuffer* buffer, SInt32 depth);
  SInt16 LoadEncryptedText(TextBuffer* buffer, bool loaded, const unsigned char* key);
  void SetDataBlock(const char* text, SInt32 length);
  SInt32 DataSize() const;
};

// Writer state: the current indentation (at most 31 TABs) and whether the
// root is being written.
extern Str31 tabsStr;
extern unsigned char firstTag;
