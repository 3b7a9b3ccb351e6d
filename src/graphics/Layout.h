// Frames and layout files. The game declares its frames in code: a table of
// named frame arrays (the application record's frame list and count), each
// entry heading a contiguous block of Frame records. A layout file (a
// property list in the bundle's "Layouts" folder) says where every frame lies
// in its sheet image and gives its hot rectangles, hot points and align
// points; LoadLayout fills the game's frames from it in table order and cuts
// one texture per frame out of the sheet.
#pragma once

#include "foundation/Array.h"
#include "graphics/ImageGL.h"
#include "platform/QuickDraw.h"

enum { kAlignPointCount = 8 };

struct Frame {
  Rect bounds;
  Array<Rect> hotRect;
  Array<Point> hotPoint;
  Str31 arrayName;
  Array<Point> alignPoint;
  Frame* prev;
  Frame* next;
  ImageGL image;
  UInt8 member;
  UInt8 shortKind;
  Str31 name;
  Str31 kindName;
  SInt8 arraySize[3];
  SInt8 arrayIndex[3];
  // The number of Frame records in the block this frame heads in the frame
  // table; the loader never writes past it.
  SInt16 capacity;
  // True when a layout allocated this frame itself (no block to put it in).
  UInt8 allocated;
  PixMapHandle pixmap;
  PixMapHandle alphaPixmap;

  Frame();
  Frame(const Frame&) = delete;
  Frame& operator=(const Frame&) = delete;

  void setFrame(SInt16 left, SInt16 top, SInt16 right, SInt16 bottom);
  // Setters ignore indices outside the arrays; getters answer zero for them.
  void setHotRect(SInt16 index, SInt16 left, SInt16 top, SInt16 right, SInt16 bottom);
  void SetHotRect(SInt16 index, const Rect& r);
  void setHotPoint(SInt16 index, SInt16 h, SInt16 v);
  void SetHotPoint(SInt16 index, Point p);
  void SetAlignPoint(SInt16 index, SInt16 h, SInt16 v);
  void SetAlignPoint(SInt16 index, Point p);
  Point AlignPoint(SInt16 index) const;
  Point HotPoint(SInt16 index) const;
  Rect HotRect(SInt16 index) const;
  SInt8 HotPointCount() const;
  SInt8 HotRectCount() const;
  void InitHotPoints(SInt16 n);
  void InitHotRects(SInt16 n);
  void hotItems(SInt16 rects, SInt16 points);
  SInt8 ArraySize() const { return arraySize[0]; }
  void SetArraySize(SInt8 n) { arraySize[0] = n; }
  void SetArrayName(const char* text);
  void GetArrayName(unsigned char* out) const;
  // Stores this frame in the game's frame table at *index and counts it
  // (*index + 1); the first array size becomes `size`. The block holds
  // `capacity` records (0: `size`, at least 1).
  void List(SInt16* index, SInt8 size, SInt16 capacity = 0);
  // The same with array size 0: a lone frame.
  void ListArray(SInt16* index, Frame* frame);
  // Doubles the hot rectangles with their mirror images and widens (or
  // heightens) the bounds to hold both.
  void Mirror(UInt8 horizontal, UInt8 vertical);
};

// Frames a layout may allocate itself when there is no frame table to put
// them in. Such frames are a fault of the program (it is alerted) and live
// only as long as the layout, so a modest bound does not limit any game.
enum { kMaxOwnFrames = 256 };

struct Layout {
  Str31 name;
  SInt32 count;
  Frame* first;
  Frame* last;
  // One past the last record the current table entry's block may hold.
  Frame* limit;
  // Frames this layout allocated itself.
  SInt32 ownFrames;

  Layout();
  ~Layout();
  Layout(const Layout&) = delete;
  Layout& operator=(const Layout&) = delete;

  // Null when the cursor's block is full (nothing is written). Without a
  // block the frame is allocated, with an alert for the first one only; null
  // past kMaxOwnFrames.
  Frame* NewFrame(const Rect* bounds, const unsigned char* frameName, Frame** cursor);
  // False when not every member fitted in the block.
  bool CreateFrameArray(Frame* head, Frame** cursor);
  void DeleteFrame(Frame* frame);
  void DeleteFrameArray(Frame* frame, UInt8 unused);
};

// The registered frame table: the game's table of frame-array pointers and
// its entry count.
extern Frame*** frameLIST;
extern SInt16* curFrame;
extern SInt16 curMaster;
extern UInt8 layoutsINITED;
extern SInt16 rectW, rectH;

void InitLayouts();
// 0, -1 when the layout file cannot be read, else the texture step's result.
int LoadLayout(const char* layoutName, const char* sheet, UInt8 premultiply);
int LoadLayout(const char* layoutName, PixMapHandle pm);
// 1 on success; 0 when the layout is null or its file cannot be opened or
// parsed. With a folder, the file is looked for there instead of "Layouts".
int LoadLayout_PLIST(Layout* layout, PixMapHandle pm, UInt8 unused, const char* folder);
int LoadLayoutTextures(Layout* layout, const char* sheet, UInt8 premultiply);
// One texture for the whole sheet, which every frame shows through its
// bounds. The atlas textures belong to the loader, never to the frames.
int LoadLayoutTextureAtlas(Layout* layout, const char* sheet, UInt8 premultiply);
// Deletes every atlas texture, once each; for when no frame is drawn again.
void DisposeLayoutTextureAtlases();
// The frame at (i, j, k) of a table entry's block; null outside the block.
Frame* GetArrayFrame(SInt16 tableIndex, SInt16 i, SInt16 j, SInt16 k);
void CenterRectToFrame(Rect* r, SInt16 h, SInt16 v, const Frame* frame);
void ReadActionEnums();
