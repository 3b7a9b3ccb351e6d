#include "foundation/PlistTag.h"

#include <cstring>

#include "foundation/DataUtils.h"
#include "foundation/ErrorDialog.h"
#include "foundation/Memory.h"
#include "foundation/StringFunctions.h"
#include "foundation/StringLibrary.h"
#include "foundation/TextEncodings.h"

namespace {

const unsigned char kUnnamed[] = "\x09(unnamed)";
const unsigned char kChild[] =
    "\x05"
    "child";

bool Is(const unsigned char* name, const char* text) { return EqualStr(name, text); }

bool HasAngle(const char* text) { return std::strpbrk(text, "<>") != nullptr; }

PlistTag* Refuse(const char* message) {
  ErrorDialog(message, "PlistTag::NewTag()", 0, 1);
  return nullptr;
}

// Runs the data-file cipher in place when a key is given; false when there
// are too few bytes (under 32) to have been enciphered.
bool Encipher(char* bytes, SInt32 length, const char* cipherKey) {
  if (!cipherKey || !*cipherKey) return true;
  if (length < 32) return false;
  CryptData(bytes, length, PStr(cipherKey));
  return true;
}

}  // namespace

PlistTag::PlistTag() : data(nullptr), parent(nullptr), children(0, kUnnamed) {
  Init();
  CopyString((const unsigned char*)"\x04" "dict", type);
}

PlistTag::~PlistTag() {
  DeleteChildren();
  if (data) QKDisposePtr(data);
  data = nullptr;
}

void PlistTag::Init() {
  type[0] = key[0] = value[0] = 0;
  parent = nullptr;
  children.ManualInit(0);
  children.SetName(kChild, -1);
  if (data) QKDisposePtr(data);
  data = nullptr;
}

void PlistTag::Delete() {
  if (!parent) {
    DeleteChildren();
    return;
  }
  Array<PlistTag*>& siblings = parent->children;
  bool found = false;
  for (UInt32 i = siblings.Size(); i-- > 0;) {
    if (siblings[i] == this) {
      siblings.RemoveEntries(i, 1);
      found = true;
    }
  }
  if (!found) ErrorDialog("Parent tag's child list does not contain \"this\"!", "PlistTag::Delete()", 0, 1);
  DeleteChildren();
  delete this;
}

// The list is let go of first, so each child is freed without searching and
// shrinking its siblings: emptying a big dictionary takes linear time.
void PlistTag::DeleteChildren() {
  UInt32 n = children.Size();
  if (n == 0) return;
  PlistTag** nodes = children.elements;
  children.elements = nullptr;
  children.count = 0;
  for (UInt32 i = 0; i < n; i++) {
    nodes[i]->parent = nullptr;
    delete nodes[i];
  }
  free(nodes);
}

SInt16 PlistTag::DeleteTag(const char* name) {
  PStr k(name);
  for (UInt32 i = 0; i < children.Size(); i++) {
    if (EqualStr(children[i]->key, k, 1, 1)) {
      children[i]->Delete();
      return 0;
    }
  }
  return -1;
}

void PlistTag::Cleanup() {
  // One pass that keeps the survivors in order, then one new list.
  UInt32 kept = 0;
  for (UInt32 i = 0; i < children.Size(); i++) {
    PlistTag* child = children[i];
    child->Cleanup();
    if (child->children.Size() == 0 && (Is(child->type, "dict") || Is(child->type, "array"))) {
      child->parent = nullptr;
      delete child;
    } else {
      children[kept++] = child;
    }
  }
  if (kept < children.Size()) children.Resize(kept, 0);
}

PlistTag* PlistTag::NewTag(const char* newType, const char* newKey, const char* newValue) {
  bool inArray = Is(type, "array");
  if (inArray && newKey && *newKey) {
    ErrorDialog("PlistTag::NewTag() failed because array children can't have names.", "", 0, 1);
    return nullptr;
  }
  bool element = inArray && std::strcmp(newType, "dict") == 0;
  PlistTag* node = nullptr;
  if (!inArray) {
    node = FindTag(newType, newKey, 0);
    if (node && std::strcmp(newType, "data") == 0) {
      CToPStr(newValue, node->value);
      return node;
    }
  }
  if (!element) {
    if (HasAngle(newType)) return Refuse("Illegal character '<' or '>' in type string.");
    if (HasAngle(newKey)) return Refuse("Illegal character '<' or '>' in name string.");
    if (!inArray && !Is(type, "dict")) {
      return Refuse(("Can't create a plist child from a \"" + std::string(Str(type)) + "\" tag.").c_str());
    }
  }
  if (!node) {
    node = new PlistTag;
    children.Resize(children.Size() + 1, 0);
    children[children.Size() - 1] = node;
    node->parent = this;
  }
  CopyString(PStr(newType), node->type);
  if (!element) {
    CopyString(PStr(newKey), node->key);
    CopyString255(PStr(newValue), node->value);
  }
  return node;
}

PlistTag* PlistTag::NewString(const char* k, const char* text) { return NewTag("string", k, text); }
PlistTag* PlistTag::NewDictionary(const char* k) { return NewTag("dict", k, ""); }
PlistTag* PlistTag::NewArray(const char* k) { return NewTag("array", k, ""); }
PlistTag* PlistTag::NewElement() { return NewTag("dict", "", ""); }
PlistTag* PlistTag::NewChar(const char* k, char n) { return NewLong(k, n); }
PlistTag* PlistTag::NewShort(const char* k, SInt16 n) { return NewLong(k, n); }
PlistTag* PlistTag::NewLong(const char* k, SInt32 n) { return NewTag("integer", k, Str("%d", int(n))); }
PlistTag* PlistTag::NewBoolean(const char* k, unsigned char flag) {
  return NewTag("boolean", k, flag ? "true/" : "false/");
}

PlistTag* PlistTag::NewPoint(const char* k, Point& point) {
  PlistTag* dict = NewDictionary(k);
  if (dict) {
    dict->NewShort("H", point.h);
    dict->NewShort("V", point.v);
  }
  return dict;
}

PlistTag* PlistTag::FindTag(const char* findType, const char* findKey, unsigned char create) {
  PStr t(findType), k(findKey);
  for (UInt32 i = 0; i < children.Size(); i++) {
    PlistTag* child = children[i];
    if (EqualStr(child->type, t, 1, 1) && EqualStr(child->key, k, 1, 1)) return child;
  }
  if (!create) return nullptr;
  bool numeric = std::strcmp(findType, "integer") == 0 || std::strcmp(findType, "real") == 0;
  bool boolean = std::strcmp(findType, "boolean") == 0;
  PlistTag* node = NewTag(findType, findKey, numeric ? "0" : boolean ? "false/" : "");
  if (!node) ErrorDialog("NewTag() failed!", "", 0, 1);
  return node;
}

PlistTag* PlistTag::FindString(const char* k, unsigned char create) { return FindTag("string", k, create); }
PlistTag* PlistTag::FindDictionary(const char* k, unsigned char create) { return FindTag("dict", k, create); }
PlistTag* PlistTag::FindArray(const char* k, unsigned char create) { return FindTag("array", k, create); }
PlistTag* PlistTag::FindBoolean(const char* k, unsigned char create) { return FindTag("boolean", k, create); }
PlistTag* PlistTag::FindData(const char* k, unsigned char create) { return FindTag("data", k, create); }
PlistTag* PlistTag::FindChar(const char* k, unsigned char create) { return FindTag("integer", k, create); }
PlistTag* PlistTag::FindLong(const char* k, unsigned char create) { return FindTag("integer", k, create); }

PlistTag* PlistTag::GetTag(const char* getType, const char* k, unsigned char* out, unsigned char create) {
  PlistTag* node = FindTag(getType, k, create);
  if (node) CopyString255(node->value, out);
  return node;
}

// Values are read through 255-character buffers: a long foreign value is
// still a number (or not a boolean), never a write past a short buffer.
PlistTag* PlistTag::GetNumber(const char* k, SInt32* n, unsigned char create) {
  Str255 text;
  PlistTag* node = GetTag("integer", k, text, create);
  if (node) QK_StringToNum(text, n);
  return node;
}

PlistTag* PlistTag::GetChar(const char* k, char* n, unsigned char create) {
  SInt32 wide = 0;
  PlistTag* node = GetNumber(k, &wide, create);
  if (node) *n = char(wide);
  return node;
}

PlistTag* PlistTag::GetShort(const char* k, SInt16* n, unsigned char create) {
  SInt32 wide = 0;
  PlistTag* node = GetNumber(k, &wide, create);
  if (node) *n = SInt16(wide);
  return node;
}

PlistTag* PlistTag::GetLong(const char* k, SInt32* n, unsigned char create) { return GetNumber(k, n, create); }

PlistTag* PlistTag::GetBoolean(const char* k, unsigned char* flag, unsigned char create) {
  Str255 text;
  PlistTag* node = GetTag("boolean", k, text, create);
  if (node && Is(text, "true/")) {
    *flag = 1;
  } else if (node && Is(text, "false/")) {
    *flag = 0;
  } else if (node && !create) {
    // A key whose value is no boolean gives no flag: the caller keeps its
    // default rather than a value never read.
    return nullptr;
  }
  return node;
}

PlistTag* PlistTag::GetString(const char* k, std::string* text, unsigned char create) {
  Str255 value255;
  PlistTag* node = GetTag("string", k, value255, create);
  if (node) text->assign((const char*)value255 + 1, value255[0]);
  return node;
}

PlistTag* PlistTag::GetPoint(const char* k, Point* point) {
  PlistTag* dict = FindDictionary(k, 0);
  if (dict) {
    dict->GetShort("H", &point->h, 0);
    dict->GetShort("V", &point->v, 0);
  }
  return dict;
}

PlistTag* PlistTag::GetRect(const char* k, Rect* rect) {
  PlistTag* dict = FindDictionary(k, 0);
  if (dict) {
    dict->GetShort("Left", &rect->left, 0);
    dict->GetShort("Top", &rect->top, 0);
    dict->GetShort("Right", &rect->right, 0);
    dict->GetShort("Bottom", &rect->bottom, 0);
  }
  return dict;
}

SInt16 PlistTag::SetString(const char* k, const char* text) {
  PlistTag* node = FindString(k, 1);
  if (!node) return -1;
  if (CopyString(PStr(text), node->value) != 0) {
    ErrorDialog("PlistTag::SetString() is limited to 31 characters.  Use SetString255() instead.", text, 0, 1);
    return -1;
  }
  return 0;
}

SInt16 PlistTag::SetChar(const char* k, char n) { return SetLong(k, n); }

SInt16 PlistTag::SetLong(const char* k, SInt32 n) {
  PlistTag* node = FindLong(k, 1);
  if (!node) return -1;
  CToPStr(Str("%d", int(n)), node->value);
  return 0;
}

SInt16 PlistTag::SetBoolean(const char* k, unsigned char flag) {
  PlistTag* node = FindBoolean(k, 1);
  if (!node) return -1;
  CToPStr(flag ? "true/" : "false/", node->value);
  return 0;
}

void PlistTag::SetDataBlock(const char* text, SInt32 length) {
  if (data) QKDisposePtr(data);
  data = QKNewPtr(length);
  if (data) std::memcpy(data, text, size_t(length));
}

SInt32 PlistTag::DataSize() const { return data ? QKGetPtrSize(data) : 0; }

SInt16 PlistTag::SetData(const char* k, const void* bytes, SInt32 length, unsigned char packed, const char* cipherKey) {
  PlistTag* node = FindData(k, 1);
  if (!node) return -1;
  if (length == -1) length = QKGetPtrSize(const_cast<char*>(static_cast<const char*>(bytes)));
  if (length < 0) return -1;
  std::string raw((const char*)bytes, size_t(length));
  if (packed) {
    Handle block = CompressData(raw.data(), SInt32(raw.size()));
    if (!block) {
      ErrorDialog("Fatal memory error!", "PlistTag::SetData()", 0, 1);
      return -1;
    }
    raw.assign(*block, size_t(QKGetHandleSize(block)));
    QKDisposeHandle(block);
  }
  // Packed bytes may shrink below the cipher's 32-byte minimum. The stated
  // length heads the packed block and its packets end where that length is
  // reached, so zero bytes after them change nothing when it is unpacked.
  if (packed && cipherKey && *cipherKey && raw.size() < 32) raw.resize(32, '\0');
  if (!Encipher(raw.data(), SInt32(raw.size()), cipherKey)) {
    ErrorDialog("Can't encrypt less than 32 bytes of data.", "Crypt", 0, 1);
    return -1;
  }
  std::string text(base64_encodeSizeNeeded(UInt32(raw.size())) + 1, '\0');
  int written = base64_encode(raw.data(), text.data(), int(raw.size()), int(text.size()));
  node->SetDataBlock(text.data(), written < 0 ? 0 : written);
  return 0;
}

SInt16 PlistTag::GetData(const char* k, void** out, SInt32* outLength, unsigned char packed, const char* cipherKey) {
  PlistTag* node = FindData(k, 0);
  if (!node) return -1;
  SInt32 textSize = node->DataSize();
  std::string raw(base64_decodeSizeNeeded(UInt32(textSize)) + 1, '\0');
  int decoded = textSize > 0 ? base64_decode(node->data, raw.data(), textSize, int(raw.size())) : 0;
  if (decoded < 0) return -1;
  raw.resize(size_t(decoded));
  // Enciphered or packed bytes that do not decode are a damaged file, not a
  // reason to stop the program: the caller keeps its defaults.
  if (!Encipher(raw.data(), SInt32(raw.size()), cipherKey)) return -1;
  if (packed) {
    Handle block = ExpandData(raw.data(), SInt32(raw.size()));
    if (!block) return -1;
    raw.assign(*block, size_t(QKGetHandleSize(block)));
    QKDisposeHandle(block);
  }
  Ptr result = QKNewPtr(SInt32(raw.size()));
  if (!result) {
    ErrorDialog("Fatal memory error!", "PlistTag::GetData()", 0, 1);
    return -1;
  }
  std::memcpy(result, raw.data(), raw.size());
  *out = result;
  if (outLength) *outLength = SInt32(raw.size());
  return 0;
}

namespace {

template <typename T>
SInt16 SaveBytes(PlistTag* tag, const char* key, Array<T>& array, unsigned char packed, const char* cipherKey) {
  std::string bytes;
  for (UInt32 i = 0; i < array.Size(); i++) {
    UInt32 v = UInt32(array[i]);
    if (sizeof(T) == 2) bytes.push_back(char(v >> 8));
    bytes.push_back(char(v));
  }
  return tag->SetData(key, bytes.data(), SInt32(bytes.size()), packed, cipherKey);
}

template <typename T>
SInt16 LoadBytes(PlistTag* tag, const char* key, Array<T>* array, unsigned char packed, const char* cipherKey) {
  void* block = nullptr;
  SInt32 length = 0;
  SInt16 result = tag->GetData(key, &block, &length, packed, cipherKey);
  array->ManualInit(result == 0 ? UInt32(length) / sizeof(T) : 0);
  array->SetName((const unsigned char*)"\x08(*array)", -1);
  const UInt8* bytes = static_cast<const UInt8*>(block);
  for (UInt32 i = 0; i < array->Size(); i++)
    (*array)[i] = sizeof(T) == 2 ? T((bytes[2 * i] << 8) | bytes[2 * i + 1]) : T(bytes[i]);
  if (block) QKDisposePtr(Ptr(block));
  return result;
}

}  // namespace

SInt16 PlistTag::SaveArray(const char* k, Array<char>& a, unsigned char p, const char* c) {
  return SaveBytes(this, k, a, p, c);
}
SInt16 PlistTag::SaveArray(const char* k, Array<unsigned char>& a, unsigned char p, const char* c) {
  return SaveBytes(this, k, a, p, c);
}
SInt16 PlistTag::SaveArray(const char* k, Array<SInt16>& a, unsigned char p, const char* c) {
  return SaveBytes(this, k, a, p, c);
}
SInt16 PlistTag::SaveArray(const char* k, Array<UInt16>& a, unsigned char p, const char* c) {
  return SaveBytes(this, k, a, p, c);
}
SInt16 PlistTag::LoadArray(const char* k, Array<char>* a, unsigned char p, const char* c) {
  return LoadBytes(this, k, a, p, c);
}
SInt16 PlistTag::LoadArray(const char* k, Array<unsigned char>* a, unsigned char p, const char* c) {
  return LoadBytes(this, k, a, p, c);
}
SInt16 PlistTag::LoadArray(const char* k, Array<SInt16>* a, unsigned char p, const char* c) {
  return LoadBytes(this, k, a, p, c);
}
SInt16 PlistTag::LoadArray(const char* k, Array<UInt16>* a, unsigned char p, const char* c) {
  return LoadBytes(this, k, a, p, c);
}

void PlistTag::GetName(unsigned char* out) { CopyString(key, out); }
void PlistTag::GetTagName(unsigned char* out) { CopyString(key, out); }
UInt16 PlistTag::NumChildren() { return UInt16(children.Size()); }
UInt16 PlistTag::NumElements() { return UInt16(children.Size()); }
PlistTag* PlistTag::GetChild(UInt16 index) { return index < children.Size() ? children[index] : nullptr; }
PlistTag* PlistTag::GetElement(UInt16 index) { return GetChild(index); }

void PlistTag::CopyTo(PlistTag* dest) {
  dest->DeleteChildren();
  CopyString(type, dest->type);
  CopyString(key, dest->key);
  CopyString255(value, dest->value);
  if (data) dest->SetDataBlock(data, DataSize());
  dest->children.ManualInit(children.Size());
  dest->children.SetName((const unsigned char*)"\x0e" "destTag->child", -1);
  for (UInt32 i = 0; i < children.Size(); i++) {
    PlistTag* copy = new PlistTag;
    dest->children[i] = copy;
    copy->parent = dest;
    children[i]->CopyTo(copy);
  }
}

void PlistTag::AddTo(PlistTag* dest) {
  CopyString(type, dest->type);
  CopyString(key, dest->key);
  CopyString255(value, dest->value);
  for (UInt32 i = 0; i < children.Size(); i++) {
    PlistTag* child = children[i];
    PlistTag* target = dest->NewTag(Str(child->type), Str(child->key), Str(child->value));
    if (target) child->CopyTo(target);
  }
}
