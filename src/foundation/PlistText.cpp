// The property-list text format: the writer and the reader of PlistTag trees.
#include <cstring>

#include "foundation/ErrorDialog.h"
#include "foundation/Memory.h"
#include "foundation/PlistTag.h"
#include "foundation/StringFunctions.h"
#include "foundation/StringLibrary.h"
#include "foundation/TextBuffer.h"

Str31 tabsStr;
unsigned char firstTag;

namespace {

constexpr unsigned char CR = 13;
// Containers nest at most this deep below the root: deeper text is refused,
// so no file can exhaust the stack.
constexpr SInt32 kMaxDepth = 31;

void Write(TextBuffer* buffer, const char* text) { buffer->WriteData(text, SInt32(std::strlen(text))); }

void PushTab() {
  if (tabsStr[0] < 31) tabsStr[++tabsStr[0]] = '\t';
}

void PopTab() {
  if (tabsStr[0] > 0) tabsStr[0]--;
}

bool Is(const unsigned char* name, const char* text) { return EqualStr(name, text); }

// Whether s holds the n bytes of text at position i (from 1).
bool HasAt(const unsigned char* s, SInt32 i, const char* text, SInt32 n) {
  return i + n - 1 <= s[0] && std::memcmp(s + i, text, size_t(n)) == 0;
}

// Replaces n bytes at position i of s with text, when the result fits limit.
void ReplaceAt(unsigned char* s, SInt32 i, SInt32 n, const char* text, SInt32 limit) {
  SInt32 m = SInt32(std::strlen(text)), length = s[0] - n + m;
  if (length > limit) return;
  std::memmove(s + i + m, s + i + n, size_t(s[0] - (i + n - 1)));
  std::memcpy(s + i, text, size_t(m));
  s[0] = UInt8(length);
}

// The first '&' of a key is stored and written as "&amp;", once: a key that
// already holds "&amp;" there was escaped by an earlier save.
void EscapeKey(unsigned char* key) {
  for (SInt32 i = 1; i <= key[0]; i++) {
    if (key[i] != '&') continue;
    if (!HasAt(key, i, "&amp;", 5)) ReplaceAt(key, i, 1, "&amp;", 31);
    return;
  }
}

void UnescapeKey(unsigned char* key) {
  for (SInt32 i = 1; i <= key[0]; i++) {
    if (HasAt(key, i, "&amp;", 5)) {
      ReplaceAt(key, i, 5, "&", 31);
      return;
    }
  }
}

// '<' and '>' in a value would end it early on the next read.
void WriteValue(TextBuffer* buffer, const unsigned char* value) {
  for (SInt32 i = 1; i <= value[0]; i++) {
    if (value[i] == '<')
      Write(buffer, "&lt;");
    else if (value[i] == '>')
      Write(buffer, "&gt;");
    else
      buffer->WriteChar(value[i]);
  }
}

void UnescapeValue(unsigned char* value) {
  for (SInt32 i = 1; i <= value[0]; i++) {
    if (HasAt(value, i, "&lt;", 4)) ReplaceAt(value, i, 4, "<", 255);
    if (HasAt(value, i, "&gt;", 4)) ReplaceAt(value, i, 4, ">", 255);
  }
}

}  // namespace

void PlistTag::SaveBuffer(TextBuffer* buffer) {
  buffer->Init(TextBuffer::kGrowStep);
  tabsStr[0] = 0;
  firstTag = 1;
  WriteTag(buffer, nullptr);
  firstTag = 0;
  SInt32 size = buffer->DataSize();
  if (size > 0 && buffer->Start()[size - 1] == CR) {
    buffer->SetPos(size - 1);
    buffer->DeleteChars(1);
  }
}

void PlistTag::WriteTag(TextBuffer* buffer, SInt16*) {
  bool isArray = Is(type, "array"), container = isArray || Is(type, "dict");
  if (isArray && key[0] == 0) {
    ErrorDialog("PlistTag::WriteTag() failed because an array was unnamed.", "", 0, 1);
    return;
  }
  if (key[0] && !firstTag) {
    EscapeKey(key);
    PushTab();
    buffer->WriteText(tabsStr);
    Write(buffer, "<key>");
    buffer->WriteText(key);
    Write(buffer, "</key>");
    buffer->WriteChar(CR);
  }
  firstTag = 0;
  bool inArray = parent && Is(parent->type, "array");
  if (inArray) PushTab();
  buffer->WriteText(tabsStr);
  if (type[0]) {
    buffer->WriteChar('<');
    if (Is(type, "boolean")) {
      buffer->WriteText(value);
      buffer->WriteChar('>');
    } else {
      buffer->WriteText(type);
      buffer->WriteChar('>');
      if (Is(type, "data"))
        buffer->WriteData(data, DataSize());
      else if (!container)
        WriteValue(buffer, value);
      if (!container) {
        Write(buffer, "</");
        buffer->WriteText(type);
        buffer->WriteChar('>');
      }
    }
    buffer->WriteChar(CR);
  }
  for (UInt32 i = 0; i < children.Size(); i++) children[i]->WriteTag(buffer, nullptr);
  if (container) {
    buffer->WriteText(tabsStr);
    Write(buffer, "</");
    buffer->WriteText(type);
    buffer->WriteChar('>');
    buffer->WriteChar(CR);
  }
  if (inArray) PopTab();
  if (key[0]) PopTab();
}

SInt16 PlistTag::SaveFile(FILE* file) {
  if (!file) return -1;
  TextBuffer buffer;
  SaveBuffer(&buffer);
  return buffer.SaveFile(file);
}

SInt16 PlistTag::SaveEncryptedFile(FILE* file, const unsigned char* cipherKey) {
  if (!file) return -1;
  TextBuffer buffer;
  SaveBuffer(&buffer);
  buffer.CryptData(cipherKey);
  return buffer.SaveFile(file);
}

SInt16 PlistTag::LoadBuffer(TextBuffer* buffer) {
  DeleteChildren();
  buffer->SetPos(0);
  buffer->AddSkipChar('<');
  buffer->AddSkipChar('>');
  for (unsigned char c : {' ', ',', '\xCA', ';'}) buffer->RemoveSkipChar(UInt8(c));
  if (buffer->FindText((const unsigned char*)"\x06<dict>", 1, 1, 1) < 0) return -1;
  CopyString((const unsigned char*)"\x04" "dict", type);
  if (ReadTag(buffer) == 0) return 0;
  DeleteChildren();
  return -1;
}

SInt16 PlistTag::ReadTag(TextBuffer* buffer) { return ReadChildren(buffer, 0); }

// Reads this container's children up to its closing word. -1 for text that
// is cut short or that no tree of ours could have written; the caller then
// discards the whole tree.
SInt16 PlistTag::ReadChildren(TextBuffer* buffer, SInt32 depth) {
  Str255 word, pendingKey = {0}, text;
  bool inArray = Is(type, "array");
  for (;;) {
    if (buffer->FindChar('<', 1) < 0) return -1;
    unsigned char* at = buffer->Read();
    if (at < buffer->DataEnd() && *at == '/') {
      buffer->OffsPos(1);
      buffer->ReadText(word);
      if (EqualStr(word, type, 1, 1)) return 0;
      continue;
    }
    buffer->ReadText(word);
    Str element(word);
    if (word[0] > 31 || element.len() == 0) return -1;
    if (Is(word, "key")) {
      if (inArray) return -1;
      at = buffer->Read();
      bool empty = buffer->DataEnd() - at >= 2 && at[0] == '>' && at[1] == '<';
      pendingKey[0] = 0;
      if (!empty) {
        buffer->SkipSpace();
        buffer->ReadText(pendingKey);
      }
      if (pendingKey[0] > 31) return -1;
      continue;
    }
    // A dictionary child needs a key: the writer writes none for an empty
    // one, so such text cannot come from a tree and would not survive a save.
    Str childKey(pendingKey);
    if (!inArray && childKey.len() == 0) return -1;
    PlistTag* node;
    if (Is(word, "true/") || Is(word, "false/")) {
      node = NewBoolean(childKey, Is(word, "true/"));
    } else {
      bool isArray = Is(word, "array"), container = isArray || Is(word, "dict");
      if ((isArray && inArray) || (container && depth >= kMaxDepth)) return -1;
      node = NewTag(element, childKey, "");
      if (!node) return -1;
      buffer->OffsPos(1);
      at = buffer->Read();
      if (at < buffer->DataEnd() && *at != '<') {
        if (Is(word, "data")) {
          SInt32 size = buffer->CheckDataSize();
          Ptr block = QKNewPtrClear(size);
          if (!block) return -1;
          buffer->ReadData(block, size);
          if (node->data) QKDisposePtr(node->data);
          node->data = block;
        } else {
          buffer->ReadText(text);
          UnescapeValue(text);
          CopyString255(text, node->value);
        }
      }
      if (container && node->ReadChildren(buffer, depth + 1) != 0) return -1;
    }
    if (node) UnescapeKey(node->key);
  }
}

SInt16 PlistTag::LoadFile(FILE* file) {
  if (!file) return -1;
  TextBuffer buffer;
  if (buffer.LoadFile(file, 0) != 0) return -1;
  return LoadBuffer(&buffer);
}

SInt16 PlistTag::LoadEncryptedFile(FILE* file, const unsigned char* cipherKey) {
  if (!file) return -1;
  TextBuffer buffer;
  return LoadEncryptedText(&buffer, buffer.LoadFile(file, 0) == 0, cipherKey);
}

// Both file forms: text that failed to load, or fewer than 32 bytes, which
// cannot have been enciphered, is a damaged file and loads as an empty tree.
SInt16 PlistTag::LoadEncryptedText(TextBuffer* buffer, bool loaded, const unsigned char* cipherKey) {
  if (!loaded || buffer->DataSize() < 32) {
    DeleteChildren();
    return -1;
  }
  buffer->CryptData(cipherKey);
  return LoadBuffer(buffer);
}
