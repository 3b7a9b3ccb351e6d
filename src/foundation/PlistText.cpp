// The property-list text format: the writer and the reader of PlistTag trees.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

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

// Whether the n bytes at p begin with what follows the '&' of an entity the
// reader turns back into a character.
bool EntityTail(const unsigned char* p, size_t n) {
  for (const char* tail : {"lt;", "gt;", "amp;"}) {
    const size_t m = std::strlen(tail);
    if (n >= m && std::memcmp(p, tail, m) == 0) return true;
  }
  return false;
}

// The same at position i (from 1) of s.
bool EntityTailAt(const unsigned char* s, SInt32 i) { return i <= s[0] && EntityTail(s + i, size_t(s[0] - i + 1)); }

// '<' and '>' in a value would end it early on the next read, so they are
// written as "&lt;" and "&gt;". An '&' is written as "&amp;" only where it
// begins one of the three entities, so that the reader cannot mistake it
// for one; everywhere else it stays as it is, and every value written
// without such an '&' keeps the bytes it always had.
void WriteValue(TextBuffer* buffer, const unsigned char* value) {
  for (SInt32 i = 1; i <= value[0]; i++) {
    if (value[i] == '<')
      Write(buffer, "&lt;");
    else if (value[i] == '>')
      Write(buffer, "&gt;");
    else if (value[i] == '&' && EntityTailAt(value, i + 1))
      Write(buffer, "&amp;");
    else
      buffer->WriteChar(value[i]);
  }
}

// A value's text, read to the end of its line or the next markup and put
// back the way the writer escaped it, in one pass from the left: "&lt;" and
// "&gt;" are '<' and '>'; "&amp;" is '&' where an entity follows it (as the
// writer escapes), and stays as it is elsewhere, as it always read. The
// text is read whole before it is cut to the 254 bytes a read keeps: the
// escapes make a value longer on the page than in memory, and cutting the
// page's text would lose the end of a value that was saved whole.
void ReadValue(TextBuffer* buffer, unsigned char* value) {
  const unsigned char* first = buffer->Read();
  const unsigned char* end = buffer->DataEnd();
  const unsigned char* at = first;
  while (at < end && *at != 13 && *at != 10 && !buffer->CheckSkipChar(*at)) at++;
  buffer->OffsPos(SInt32(at - first));
  std::string text;
  for (const unsigned char* p = first; p < at && text.size() < 254;) {
    auto starts = [&](const char* entity) {
      const size_t n = std::strlen(entity);
      return size_t(at - p) >= n && std::memcmp(p, entity, n) == 0;
    };
    if (starts("&lt;")) {
      text += '<';
      p += 4;
    } else if (starts("&gt;")) {
      text += '>';
      p += 4;
    } else if (starts("&amp;") && EntityTail(p + 5, size_t(at - p) - 5)) {
      text += '&';
      p += 5;
    } else {
      text += char(*p++);
    }
  }
  value[0] = UInt8(text.size());
  std::memcpy(value + 1, text.data(), text.size());
}

// A boolean holding "true/" or "false/" is written as that empty element; any
// other text in a boolean is written as an ordinary element, so that what the
// reader took in comes back out unchanged.
bool PlainBoolean(const unsigned char* type, const unsigned char* value) {
  return Is(type, "boolean") && (Is(value, "true/") || Is(value, "false/"));
}

// The children of one container while the reader fills it: kept in order in
// a vector and found by type and key through an open-addressed hash table of
// their own, so that a big dictionary reads in linear time. The table holds
// each child's hash beside its node, so a probe past another name never
// touches that node, and a lookup builds no string. Names compare as C
// strings (up to a NUL, as the nodes' text is used elsewhere). The list
// becomes the container's own children when the reader leaves the container,
// whether it succeeded or not, so that every node made stays owned by the
// tree.
class PlistReadList {
 public:
  explicit PlistReadList(PlistTag* owner) : owner_(owner) {
    for (UInt32 i = 0; i < owner->children.Size(); i++) {
      Add(owner->children[i]);
      Index(owner->children[i]);
    }
    owner->children.Dispose();
  }
  ~PlistReadList() {
    owner_->children.ManualInit(UInt32(nodes_.size()));
    owner_->children.SetName((const unsigned char*)"\x05" "child", -1);
    for (size_t i = 0; i < nodes_.size(); i++) owner_->children[UInt32(i)] = nodes_[i];
  }
  PlistReadList(const PlistReadList&) = delete;
  PlistReadList& operator=(const PlistReadList&) = delete;

  // The first child of this type and key, or null.
  PlistTag* Find(const char* type, const char* key) {
    const Name name{type, std::strlen(type), key, std::strlen(key)};
    return slots_.empty() ? nullptr : Probe(name)->node;
  }
  void Add(PlistTag* node) { nodes_.push_back(node); }
  // Makes the node findable under its present (final) type and key; an
  // earlier child of the same name is the one found.
  void Index(PlistTag* node) {
    if (2 * (used_ + 1) > slots_.size()) Grow();
    Slot* slot = Probe(NameOf(node));
    if (slot->node) return;
    slot->node = node;
    slot->hash = NameOf(node).Hash();
    used_++;
  }

 private:
  struct Name {
    const char* type;
    size_t typeLength;
    const char* key;
    size_t keyLength;
    UInt32 Hash() const {
      // FNV-1a over the key, a NUL, then the type.
      UInt32 h = 2166136261u;
      auto mix = [&h](const char* p, size_t n) {
        for (size_t i = 0; i < n; i++) h = (h ^ UInt8(p[i])) * 16777619u;
      };
      mix(key, keyLength);
      h *= 16777619u;
      mix(type, typeLength);
      return h;
    }
    bool operator==(const Name& o) const {
      return typeLength == o.typeLength && keyLength == o.keyLength && std::memcmp(type, o.type, typeLength) == 0 &&
             std::memcmp(key, o.key, keyLength) == 0;
    }
  };
  struct Slot {
    PlistTag* node = nullptr;
    UInt32 hash = 0;
  };

  // A Pascal string's text up to its first NUL.
  static size_t CLength(const unsigned char* p) {
    const void* nul = std::memchr(p + 1, 0, p[0]);
    return nul ? size_t(static_cast<const unsigned char*>(nul) - (p + 1)) : p[0];
  }
  static Name NameOf(const PlistTag* node) {
    return Name{reinterpret_cast<const char*>(node->type + 1), CLength(node->type),
                reinterpret_cast<const char*>(node->key + 1), CLength(node->key)};
  }
  // The slot holding the name, or the empty slot where it would go.
  Slot* Probe(const Name& name) {
    const UInt32 hash = name.Hash();
    const size_t mask = slots_.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
      Slot& slot = slots_[i];
      if (!slot.node || (slot.hash == hash && NameOf(slot.node) == name)) return &slot;
    }
  }
  void Grow() {
    std::vector<Slot> old(std::max<size_t>(16, 2 * slots_.size()));
    old.swap(slots_);
    const size_t mask = slots_.size() - 1;
    for (const Slot& s : old) {
      if (!s.node) continue;
      size_t i = s.hash & mask;
      while (slots_[i].node) i = (i + 1) & mask;
      slots_[i] = s;
    }
  }

  PlistTag* owner_;
  std::vector<PlistTag*> nodes_;
  std::vector<Slot> slots_;
  size_t used_ = 0;
};

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
    if (PlainBoolean(type, value)) {
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
  PlistReadList list(this);
  // A child as NewTag would make it: inside a dictionary a child of the same
  // type and key is reused (its value emptied), inside an array a new one is
  // appended; an array's "dict" element takes neither key nor value.
  auto child = [&](const char* childType, const char* childKey, const char* childValue) {
    PlistTag* node = inArray ? nullptr : list.Find(childType, childKey);
    bool fresh = !node;
    if (fresh) {
      node = new PlistTag;
      node->parent = this;
      list.Add(node);
    }
    CopyString(PStr(childType), node->type);
    if (!(inArray && std::strcmp(childType, "dict") == 0)) {
      CopyString(PStr(childKey), node->key);
      CopyString255(PStr(childValue), node->value);
    }
    return std::pair<PlistTag*, bool>(node, fresh);
  };
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
    // No writer puts a NUL in an element word; such a word could not be
    // told apart from the shorter name it would be cut to.
    if (word[0] > 31 || word[0] == 0 || std::memchr(word + 1, 0, word[0])) return -1;
    Str element(word);
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
    std::pair<PlistTag*, bool> made;
    if (Is(word, "true/") || Is(word, "false/")) {
      made = child("boolean", childKey, Is(word, "true/") ? "true/" : "false/");
    } else {
      bool isArray = Is(word, "array"), container = isArray || Is(word, "dict");
      if ((isArray && inArray) || (container && depth >= kMaxDepth)) return -1;
      made = child(element, childKey, "");
      PlistTag* node = made.first;
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
          ReadValue(buffer, text);
          CopyString255(text, node->value);
        }
      }
      if (container && node->ReadChildren(buffer, depth + 1) != 0) return -1;
    }
    UnescapeKey(made.first->key);
    if (made.second) list.Index(made.first);
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
