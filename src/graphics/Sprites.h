// Sprites: the record of one thing on the play field (its rectangles, the
// frame array and frame it shows, mirroring, quarter turns, tint and four
// parts that ride on it), the global list of every sprite in construction
// order, and fitting and aligning rectangles by the frames' align points.
#pragma once

#include "foundation/Array.h"
#include "foundation/Colors.h"
#include "graphics/Layout.h"

struct FrameArray {
  SInt32 count;
  Frame* first;
  Str31 name;

  void Set(Frame* frame, SInt16 n);
  Frame& operator[](UInt32 i) { return first[i]; }
  void GetName(unsigned char* out) const;
};

struct SpriteBase {
  PixMapHandle pixMap;
  PixMapHandle alphaMap;
  Rect rect;
  Rect oldRect;
  SInt8 frame;
  SInt16 action;
  SInt16 actionAux;
  SInt16 oldAction;
  SInt16 actionStep;
  SInt16 mirrorH;
  SInt16 mirrorV;
  SInt16 rotation;
  UInt8 on;
  Frame* frames;
  FrameArray frameArray;

  SpriteBase();
  void Reset();
  void SetOn(UInt8 flag) { on = flag; }
  void SetFrame(Frame* first);
  // Null for an index outside the current array (or without one).
  Frame* GetFrame(SInt16 index) const;
  void ActionString(unsigned char* out) const;
};

struct SpritePart : SpriteBase {
  UInt8 partByte;
  void Reset();
};

enum { kSpriteStateBytes = 29, kSpriteStateShorts = 9, kSpriteStateLongs = 21, kSpriteParts = 4 };
enum { kStateByteInBounds = 28, kStateByteDirection = 14, kStateLongScale = 6 };

class SpriteClass : public SpriteBase {
 public:
  Rect realRect;
  Rect lastRect;
  Rect spareRect;
  Rect clipRect;
  Rect oldClipRect;
  UInt8 stateBytes[kSpriteStateBytes];
  SInt16 stateShorts[kSpriteStateShorts];
  SInt32 stateLongs[kSpriteStateLongs];
  SInt8 spareByte;
  SpriteClass* next;
  SpriteClass* prev;
  SInt32 spareLongs[2];
  RGBAColor16 color;
  SInt16 spareShort;
  Array<SpritePart> part;
  SInt16 spareShorts[2];
  UInt8 copyOn;
  Rect area;
  UInt8 spareFlag;
  Rect homeRect;
  SInt16 type;

  SpriteClass();
  // A copy is a new sprite of its own in the list.
  SpriteClass(const SpriteClass& source);
  // Leaves the list when destroyed.
  virtual ~SpriteClass();
  SpriteClass& operator=(const SpriteClass& source);
  virtual SInt32 ClassSize() const;

  void Reset();
  void SetType(SInt16 t) { type = t; }
  // Copies every field but the list links.
  void SetTo(const SpriteClass& source);
  void SetDrawRect();
  void DisableParts();
  void MakeArea();
  Rect GetArea() const { return area; }
  UInt8 CopyOn() const { return copyOn; }
  void TurnOffCopy();
  void SetClip(const Rect* r);
  void ResetClip() {}
  void CheckInBounds() { stateBytes[kStateByteInBounds] = 1; }
  SInt8 Direction() const { return SInt8(stateBytes[kStateByteDirection]); }
};

extern SpriteClass* firstSPRITE;
extern SpriteClass* lastSPRITE;
extern SpriteClass* curSPRITE;
extern UInt16 numSPRITES;

void SetSpriteOldRects();
void SetSpriteDrawRects();

// Maps a rectangle or point from one rectangle onto another; an empty
// source only moves it.
void MapRect(Rect* r, const Rect* from, const Rect* to);
void MapPt(Point* p, const Rect* from, const Rect* to);
Boolean EmptyRect(const Rect* r);

Rect GetHotRect(SpriteClass* s, SInt8 i);
void GetHotPoint(SpriteClass* s, SInt8 i, Point* out);
Boolean IsValidAlignPoint(SpriteClass* s, SInt8 i);
Point GetAlignPoint(SpriteClass* s, SInt8 i);
void SetSpriteReal(SpriteClass* s, UInt8 useRect);

// h and v choose the anchor on each axis: 0 centres on the old rectangle,
// negative keeps the right or bottom edge, positive the left or top edge.
void SetRectToFrame_Angle(Rect* r, const Frame& f, SInt8 h, SInt8 v);
void SetRectToFrame2(SpriteClass& s, const Frame& f, SInt8 h, SInt8 v);
void ResizeSprite_Angle(SpriteBase& s, SInt8 h, SInt8 v);

// The alignments do nothing when a frame they need is missing.
void AlignNextStep(SpriteClass* s, SInt8 ap, SInt8 next);
void AlignNextAction(SpriteClass* s, SInt16 newAction, SInt8 newFrame, SInt8 ap, SInt8 nap);
void AlignSprite2(SpriteClass* s, SInt8 ap, SpriteClass* t, SInt8 tap);
void AlignSprite2to1(SpriteClass* s, SInt8 ap, SpriteClass* t, SInt8 tap, SInt8 n);
void AlignSprite(SpriteBase* s, SInt8 ap, SpriteBase* t, SInt8 tap);
void AlignSpriteToCoord(SpriteBase* s, SInt8 ap, SInt16 x, SInt16 y);
void AlignPart(SpriteBase* part, SInt8 ap, SpriteBase* t, SInt8 tap);
void AlignSpriteToPart(SpriteBase* s, SInt8 ap, SpriteClass* t, SInt8 tap, SInt8 n);
