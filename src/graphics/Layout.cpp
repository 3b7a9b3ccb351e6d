#include "graphics/Layout.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "foundation/ErrorDialog.h"
#include "foundation/Paths.h"
#include "foundation/PlistTag.h"
#include "graphics/ImageBuffer.h"
#include "graphics/PixMapRegistry.h"
#include "platform/PlatformFiles.h"
#include "shell/ApplInfo.h"

Frame*** frameLIST = nullptr;
SInt16* curFrame = nullptr;
SInt16 curMaster = 0;
UInt8 layoutsINITED = 0;
SInt16 rectW = 0, rectH = 0;

namespace {

const unsigned char kHotRectName[] = "\x07hotRect";
const unsigned char kHotPointName[] = "\x08hotPoint";
const unsigned char kAlignPointName[] = "\x14theFrame->alignPoint";

std::string PString(const unsigned char* p) { return std::string(reinterpret_cast<const char*>(p + 1), p[0]); }

// False (and nothing stored) when the text is longer than 31 characters.
bool SetPString(const std::string& text, unsigned char* out) {
  if (text.size() > 31) return false;
  out[0] = UInt8(text.size());
  std::copy(text.begin(), text.end(), out + 1);
  return true;
}

// The name with every "[...]" index suffix removed.
std::string BaseName(const std::string& name) {
  size_t bracket = name.find('[');
  return bracket == std::string::npos ? name : name.substr(0, bracket);
}

void ReportBadLayout(const std::string& name) {
  std::string message = "LoadLayout() failed.  The starting frame could not be located in frameLIST: " + name + ".";
  AlertDialog(message.c_str(), "", "OK");
}

Frame* TableEntry(SInt16 index) {
  if (!frameLIST || !*frameLIST || !curFrame || index < 0 || index >= *curFrame) return nullptr;
  return (*frameLIST)[index];
}

Rect ZeroRect() { return Rect{0, 0, 0, 0}; }

bool Inside(SInt16 index, UInt32 count) { return index >= 0 && UInt32(index) < count; }

// Points the cursor at a table entry's block; false when there is none.
bool EnterEntry(Layout* layout, SInt16 index, Frame** cursor) {
  Frame* block = TableEntry(index);
  if (!block) return false;
  *cursor = block;
  layout->limit = block + std::max<SInt16>(block->capacity, 1);
  return true;
}

SInt16 FindEntry(const std::string& base) {
  for (SInt16 i = 0; curFrame && i < *curFrame; i++) {
    Frame* entry = TableEntry(i);
    if (entry && PString(entry->arrayName) == base) return i;
  }
  return -1;
}

void ReadArraySizes(PlistTag* entry, SInt8 sizes[3]) {
  const char* keys[3] = {"Array Size 0", "Array Size 1", "Array Size 2"};
  for (int d = 0; d < 3; d++) {
    char n = 0;
    entry->GetChar(keys[d], &n, 0);
    sizes[d] = SInt8(n);
  }
}

// Pass 1: the entries that head an array make its frames in the table.
void CreateFrames(Layout* layout, PlistTag* frames) {
  bool table = frameLIST && curFrame;
  Frame* cursor = nullptr;
  for (UInt16 e = 0; e < frames->NumChildren(); e++) {
    PlistTag* entry = frames->GetChild(e);
    Str255 key;
    entry->GetName(key);
    std::string name = PString(key);
    if (e == 0 && table) {
      curMaster = FindEntry(BaseName(name));
      if (curMaster < 0) {
        // Nothing goes into the table when its start is unknown.
        ReportBadLayout(name);
        return;
      }
    }
    unsigned char first = 0;
    entry->GetBoolean("First In Array", &first, 0);
    if (!first) continue;
    SInt8 sizes[3] = {0, 0, 0};
    ReadArraySizes(entry, sizes);
    if (table && !EnterEntry(layout, curMaster, &cursor)) {
      ReportBadLayout(name);
      return;
    }
    Frame* head = layout->NewFrame(nullptr, key, table ? &cursor : nullptr);
    if (!head) {
      ReportBadLayout(name);
      return;
    }
    SetPString("FRAME", head->kindName);
    std::copy(sizes, sizes + 3, head->arraySize);
    if (sizes[0] != 0 && !layout->CreateFrameArray(head, table ? &cursor : nullptr)) {
      ReportBadLayout(name);
      return;
    }
    if (table) curMaster++;
  }
}

void ReadAlignPoints(Frame* frame, PlistTag* entry) {
  for (int i = 0; i < kAlignPointCount; i++) frame->alignPoint[UInt32(i)] = Point{0, 0};
  PlistTag* points = entry->FindDictionary("Align Points", 0);
  if (!points) return;
  for (int i = 0; i < kAlignPointCount; i++) points->GetPoint(std::to_string(i).c_str(), &frame->alignPoint[UInt32(i)]);
}

// The count of a hot dictionary, as the signed byte the frame reports it in.
SInt16 HotCount(PlistTag* dict) { return SInt16(std::min<UInt16>(dict->NumChildren(), 127)); }

void ReadHotItems(Frame* frame, PlistTag* entry) {
  if (PlistTag* rects = entry->FindDictionary("Hot Rects", 0)) {
    frame->InitHotRects(HotCount(rects));
    for (UInt32 i = 0; i < frame->hotRect.Size(); i++) rects->GetRect(std::to_string(i).c_str(), &frame->hotRect[i]);
  }
  if (PlistTag* points = entry->FindDictionary("Hot Points", 0)) {
    frame->InitHotPoints(HotCount(points));
    for (UInt32 i = 0; i < frame->hotPoint.Size(); i++)
      points->GetPoint(std::to_string(i).c_str(), &frame->hotPoint[i]);
  }
}

// Pass 2: entries fill the frames of the same name, in order; an entry that
// does not match is tried against the next frame.
void FillFrames(Layout* layout, PlistTag* frames, PixMapHandle pm) {
  UInt16 e = 0;
  for (Frame* frame = layout->first; frame && e < frames->NumChildren(); frame = frame->next) {
    PlistTag* entry = frames->GetChild(e);
    Str255 key;
    entry->GetName(key);
    if (PString(key) != PString(frame->name)) continue;
    entry->GetRect("Bounds", &frame->bounds);
    ReadAlignPoints(frame, entry);
    ReadHotItems(frame, entry);
    if (pm) {
      frame->pixmap = pm;
      frame->alphaPixmap = GetPixMapAlpha(pm);
      frame->image.New(pm, &frame->bounds, frame->alphaPixmap, 1);
    }
    e++;
  }
}

FILE* OpenLayoutFile(const Layout* layout, const char* folder) {
  std::string path = (folder ? std::string(folder) : GetResourcesPath() + "/Layouts") + "/" + PString(layout->name);
  FILE* file = OpenRegularFileForReading(path);
  return file ? file : OpenRegularFileForReading(path + ".plist");
}

// Sheets are read into 1024 by 1024 pixels; a bigger one is cut there.
constexpr SInt32 kSheetSide = 1024;

std::vector<UInt32>& AtlasTextures() {
  static std::vector<UInt32>* textures = new std::vector<UInt32>;
  return *textures;
}

// The frame's bounds cut to the decoded sheet, so nothing is read outside it.
Rect BoundsInSheet(const Frame* frame, const ImageBuffer& buffer) {
  return Rect{std::max<SInt16>(frame->bounds.top, 0), std::max<SInt16>(frame->bounds.left, 0),
              std::min(frame->bounds.bottom, buffer.contentHeight), std::min(frame->bounds.right, buffer.contentWidth)};
}

std::string SheetPath(const char* sheet) {
  std::string path = sheet;
  if (path.empty() || path[0] != '/') path = GetResourcesPath() + "/" + path;
  return path + ".png";
}

}  // namespace

Frame::Frame()
    : bounds{0, 0, 0, 0},
      hotRect(1, kHotRectName),
      hotPoint(1, kHotPointName),
      arrayName{0},
      alignPoint(kAlignPointCount, kAlignPointName),
      prev(nullptr),
      next(nullptr),
      member(0),
      shortKind(0),
      name{0},
      kindName{0},
      arraySize{0, 0, 0},
      arrayIndex{0, 0, 0},
      capacity(1),
      allocated(0),
      pixmap(nullptr),
      alphaPixmap(nullptr) {}

void Frame::setFrame(SInt16 left, SInt16 top, SInt16 right, SInt16 bottom) { bounds = Rect{top, left, bottom, right}; }

void Frame::setHotRect(SInt16 index, SInt16 left, SInt16 top, SInt16 right, SInt16 bottom) {
  SetHotRect(index, Rect{top, left, bottom, right});
}

void Frame::SetHotRect(SInt16 index, const Rect& r) {
  if (Inside(index, hotRect.Size())) hotRect[UInt32(index)] = r;
}

void Frame::setHotPoint(SInt16 index, SInt16 h, SInt16 v) { SetHotPoint(index, Point{v, h}); }

void Frame::SetHotPoint(SInt16 index, Point p) {
  if (Inside(index, hotPoint.Size())) hotPoint[UInt32(index)] = p;
}

void Frame::SetAlignPoint(SInt16 index, SInt16 h, SInt16 v) { SetAlignPoint(index, Point{v, h}); }

void Frame::SetAlignPoint(SInt16 index, Point p) {
  if (Inside(index, alignPoint.Size())) alignPoint[UInt32(index)] = p;
}

Point Frame::AlignPoint(SInt16 index) const {
  return Inside(index, alignPoint.Size()) ? alignPoint[UInt32(index)] : Point{0, 0};
}

Point Frame::HotPoint(SInt16 index) const {
  return Inside(index, hotPoint.Size()) ? hotPoint[UInt32(index)] : Point{0, 0};
}

Rect Frame::HotRect(SInt16 index) const { return Inside(index, hotRect.Size()) ? hotRect[UInt32(index)] : ZeroRect(); }

SInt8 Frame::HotPointCount() const { return SInt8(hotPoint.Size()); }
SInt8 Frame::HotRectCount() const { return SInt8(hotRect.Size()); }

void Frame::InitHotPoints(SInt16 n) {
  hotPoint.ManualInit(UInt32(std::max<SInt16>(n, 0)));
  hotPoint.SetName(kHotPointName, -1);
}

void Frame::InitHotRects(SInt16 n) {
  hotRect.ManualInit(UInt32(std::max<SInt16>(n, 0)));
  hotRect.SetName(kHotRectName, -1);
}

void Frame::hotItems(SInt16 rects, SInt16 points) {
  InitHotRects(rects);
  InitHotPoints(points);
}

void Frame::SetArrayName(const char* text) {
  if (!SetPString(text ? text : "", arrayName)) arrayName[0] = 0;
}

void Frame::GetArrayName(unsigned char* out) const { CopyString(arrayName, out); }

void Frame::List(SInt16* index, SInt8 size, SInt16 count) {
  if (APPL.frameList && *APPL.frameList) (*APPL.frameList)[*index] = this;
  (*index)++;
  SetArraySize(size);
  capacity = count > 0 ? count : std::max<SInt16>(size, 1);
}

void Frame::ListArray(SInt16* index, Frame*) { List(index, 0, 1); }

void Frame::Mirror(UInt8 horizontal, UInt8 vertical) {
  UInt32 n = hotRect.Size();
  if (horizontal) {
    hotRect.Resize(2 * n, 0);
    for (UInt32 i = 0; i < n; i++) {
      Rect r = hotRect[i];
      hotRect[n + i] = Rect{r.top, SInt16(2 * bounds.right - r.right), r.bottom, SInt16(2 * bounds.right - r.left)};
    }
    bounds.right = SInt16(2 * bounds.right - bounds.left);
    n *= 2;
  }
  if (vertical) {
    hotRect.Resize(2 * n, 0);
    for (UInt32 i = 0; i < n; i++) {
      Rect r = hotRect[i];
      hotRect[n + i] = Rect{SInt16(2 * bounds.bottom - r.bottom), r.left, SInt16(2 * bounds.bottom - r.top), r.right};
    }
    bounds.bottom = SInt16(2 * bounds.bottom - bounds.top);
  }
}

Layout::Layout() : name{0}, count(0), first(nullptr), last(nullptr), limit(nullptr), ownFrames(0) {}

Layout::~Layout() {
  // Frames of the game's table live on; only frames made here are freed.
  for (Frame* f = first; f;) {
    Frame* next = f->next;
    if (f->allocated) delete f;
    f = next;
  }
}

Frame* Layout::NewFrame(const Rect* bounds, const unsigned char* frameName, Frame** cursor) {
  Frame* frame;
  if (cursor && *cursor) {
    if (limit && *cursor >= limit) return nullptr;
    frame = *cursor;
  } else {
    // A layout read without a frame table must not make a frame (and an
    // alert) for every member of whatever array sizes its file claims.
    if (ownFrames >= kMaxOwnFrames) return nullptr;
    if (ownFrames == 0) AlertDialog("BAD: creating new frame!", "", "OK");
    frame = new Frame;
    frame->allocated = 1;
    ownFrames++;
  }
  if (bounds) frame->bounds = *bounds;
  CopyString(frameName, frame->name);
  frame->prev = last;
  frame->next = nullptr;
  if (last) last->next = frame;
  if (!first) first = frame;
  last = frame;
  frame->alignPoint.ManualInit(kAlignPointCount);
  frame->alignPoint.SetName(kAlignPointName, -1);
  for (UInt32 i = 0; i < kAlignPointCount; i++) frame->alignPoint[i] = Point{-1, -1};
  count++;
  if (cursor && *cursor) (*cursor)++;
  return frame;
}

bool Layout::CreateFrameArray(Frame* head, Frame** cursor) {
  const SInt8 s0 = head->arraySize[0], s1 = head->arraySize[1], s2 = head->arraySize[2];
  const std::string base = BaseName(PString(head->name));
  // Members follow the head ([0][0][0]) in the array's own order, the last
  // index fastest; a size of 1 (or 0) in a dimension leaves that index at 0.
  int i = 0, j = 0, k = 0;
  const auto step = [&] {
    if (j + 1 >= s1 && k + 1 >= s2) {
      i++, j = 0, k = 0;
    } else if (k + 1 >= s2) {
      j++, k = 0;
    } else {
      k++;
    }
  };
  step();
  while (i < s0) {
    std::string text = base + "[" + std::to_string(i) + "]";
    if (s1) text += "[" + std::to_string(j) + "]";
    if (s2) text += "[" + std::to_string(k) + "]";
    Str31 memberName;
    if (!SetPString(text, memberName)) return false;
    Frame* frame = NewFrame(&head->bounds, memberName, cursor);
    if (!frame) return false;
    frame->shortKind = head->shortKind;
    std::copy(head->arraySize, head->arraySize + 3, frame->arraySize);
    frame->arrayIndex[0] = SInt8(i), frame->arrayIndex[1] = SInt8(j), frame->arrayIndex[2] = SInt8(k);
    SetPString(head->shortKind && base.size() >= 4 ? base.substr(base.size() - 4) : "FRAME", frame->kindName);
    frame->member = 1;
    step();
  }
  return true;
}

void Layout::DeleteFrame(Frame* frame) {
  if (!frame) return;
  if (frame->prev) frame->prev->next = frame->next;
  if (frame->next) frame->next->prev = frame->prev;
  if (first == frame) first = frame->next;
  if (last == frame) last = frame->prev;
  frame->prev = frame->next = nullptr;
  if (frame->allocated) delete frame;
  count--;
}

void Layout::DeleteFrameArray(Frame* frame, UInt8) {
  if (!frame) return;
  const std::string base = BaseName(PString(frame->name));
  for (Frame* f = first; f;) {
    Frame* next = f->next;
    if (BaseName(PString(f->name)) == base) DeleteFrame(f);
    f = next;
  }
}

void InitLayouts() {
  if (layoutsINITED) return;
  frameLIST = APPL.frameList;
  curFrame = APPL.frameCount;
  layoutsINITED = 1;
}

int LoadLayout(const char* layoutName, const char* sheet, UInt8 premultiply) {
  if (!layoutsINITED) {
    ErrorDialog("Call InitLayouts() before LoadLayout().", "", 0, 1);
    return -1;
  }
  Layout layout;
  if (!SetPString(layoutName, layout.name) || !LoadLayout_PLIST(&layout, nullptr, 0, nullptr)) return -1;
  return LoadLayoutTextures(&layout, sheet, premultiply);
}

int LoadLayout(const char* layoutName, PixMapHandle pm) {
  Layout layout;
  if (SetPString(layoutName, layout.name)) LoadLayout_PLIST(&layout, pm, 0, nullptr);
  return 0;
}

int LoadLayout_PLIST(Layout* layout, PixMapHandle pm, UInt8, const char* folder) {
  if (!layout) return 0;
  FILE* file = OpenLayoutFile(layout, folder);
  if (!file) return 0;
  PlistTag root;
  SInt16 result = root.LoadFile(file);
  std::fclose(file);
  if (result != 0) return 0;
  PlistTag* frames = root.FindDictionary("Frames", 0);
  if (!frames) return 1;
  CreateFrames(layout, frames);
  FillFrames(layout, frames, pm);
  return 1;
}

// A sheet is decoded into a buffer of its own that goes once its frames are
// uploaded: the textures hold the pixels, and nothing reads them again.
int LoadLayoutTextures(Layout* layout, const char* sheet, UInt8 premultiply) {
  ImageBuffer buffer(kSheetSide, kSheetSide);
  int result = buffer.LoadImage(SheetPath(sheet).c_str(), 0.0f, premultiply);
  if (result != 0) return result;
  for (Frame* frame = layout->first; frame; frame = frame->next) {
    const Rect r = BoundsInSheet(frame, buffer);
    frame->image.Dispose();
    if (r.right <= r.left || r.bottom <= r.top) continue;
    frame->image.New(&buffer, &r);
    frame->image.hasAlpha = 1;
  }
  return 0;
}

int LoadLayoutTextureAtlas(Layout* layout, const char* sheet, UInt8 premultiply) {
  ImageBuffer buffer(kSheetSide, kSheetSide);
  int result = buffer.LoadImage(SheetPath(sheet).c_str(), 0.0f, premultiply);
  if (result != 0) return result;
  const Rect content{0, 0, buffer.contentHeight, buffer.contentWidth};
  UInt32 atlas = 0;
  const Rect size = NewTextureFromBuffer(&atlas, buffer.pixels, buffer.RowBytes(), 32, &content);
  if (atlas == 0) return -1;
  AtlasTextures().push_back(atlas);
  for (Frame* frame = layout->first; frame; frame = frame->next) {
    const Rect r = BoundsInSheet(frame, buffer);
    ImageGL& image = frame->image;
    image.Dispose();
    if (r.right <= r.left || r.bottom <= r.top) continue;
    image.texture = atlas;
    image.sharedTexture = 1;
    image.srcRect = r;
    image.texWidth = size.right;
    image.texHeight = size.bottom;
    image.imageWidth = SInt16(r.right - r.left);
    image.imageHeight = SInt16(r.bottom - r.top);
    image.SetTextureRect(&r);
    image.useSrcRect = 1;
    image.hasAlpha = 1;
  }
  return 0;
}

void DisposeLayoutTextureAtlases() {
  for (UInt32 name : AtlasTextures()) glDeleteTextures_fast(1, &name);
  AtlasTextures().clear();
}

Frame* GetArrayFrame(SInt16 tableIndex, SInt16 i, SInt16 j, SInt16 k) {
  Frame* head = TableEntry(tableIndex);
  if (!head) return nullptr;
  SInt32 s0 = head->arraySize[0], s1 = head->arraySize[1];
  SInt32 position = i;
  if (j) position += j * s0;
  if (k) position += k * s0 * s1;
  if (position < 0 || position >= std::max<SInt16>(head->capacity, 1)) return nullptr;
  return head + position;
}

void CenterRectToFrame(Rect* r, SInt16 h, SInt16 v, const Frame* frame) {
  rectW = SInt16(frame->bounds.right - frame->bounds.left);
  rectH = SInt16(frame->bounds.bottom - frame->bounds.top);
  r->left = SInt16(h - rectW / 2);
  r->top = SInt16(v - rectH / 2);
  r->right = SInt16(r->left + rectW);
  r->bottom = SInt16(r->top + rectH);
}

void ReadActionEnums() {}
