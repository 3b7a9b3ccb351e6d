#include "graphics/Sprites.h"

#include <algorithm>

#include "foundation/ErrorDialog.h"
#include "foundation/StringFunctions.h"

SpriteClass* firstSPRITE = nullptr;
SpriteClass* lastSPRITE = nullptr;
SpriteClass* curSPRITE = nullptr;
UInt16 numSPRITES = 0;

namespace {

const unsigned char kPartName[] = "\x04part";

SInt16 Width(const Rect& r) { return SInt16(r.right - r.left); }
SInt16 Height(const Rect& r) { return SInt16(r.bottom - r.top); }

// One axis of a fit: the new low edge for a span of `size` anchored on
// [low, high] (0 centred, negative at the high edge, positive at the low).
SInt16 FitLow(SInt16 low, SInt16 high, SInt16 size, SInt8 anchor) {
  if (anchor < 0) return SInt16(high - size);
  if (anchor > 0) return low;
  return SInt16(low + SInt16(high - low) / 2 - size / 2);
}

void Fit(Rect* r, SInt16 width, SInt16 height, SInt8 h, SInt8 v) {
  r->left = FitLow(r->left, r->right, width, h);
  r->right = SInt16(r->left + width);
  r->top = FitLow(r->top, r->bottom, height, v);
  r->bottom = SInt16(r->top + height);
}

// Where an align point lies inside its frame as the sprite shows it.
SInt16 OffsetH(Point p, const Frame& f, const SpriteBase& s) {
  return SInt16(s.mirrorH ? f.bounds.right - p.h : p.h - f.bounds.left);
}
SInt16 OffsetV(Point p, const Frame& f, const SpriteBase& s) {
  return SInt16(s.mirrorV ? f.bounds.bottom - p.v : p.v - f.bounds.top);
}

// A point of a frame turned by quarter turns inside the frame; `base` is the
// left edge it is measured from on odd turns.
Point Turn(Point p, const Rect& f, SInt16 rotation, SInt16 base) {
  switch (rotation & 3) {
    case 2: return Point{SInt16(f.top + f.bottom - p.v), SInt16(f.left + f.right - p.h)};
    case 3: return Point{SInt16(f.top + f.right - p.h), SInt16(base + p.v - f.top)};
    case 1: return Point{SInt16(f.top + p.h - f.left), SInt16(base + f.bottom - p.v)};
    default: return p;
  }
}

// The screen point of a target's align point q of frame tf on rectangle r.
Point TargetPoint(Point q, const Rect& tf, const Rect& r, const SpriteBase& t) {
  SInt16 x = SInt16(t.mirrorH ? r.right + (tf.left - q.h) : r.left + (q.h - tf.left));
  SInt16 y = SInt16(t.mirrorV ? r.bottom + (tf.top - q.v) : r.top + (q.v - tf.top));
  return Point{y, x};
}

// TargetPoint as sprite part 0 uses it: mirrored offsets are taken from the far edge.
Point PartPoint(Point q, const Rect& tf, const Rect& r, const SpriteBase& t) {
  SInt16 x = SInt16(t.mirrorH ? r.right - (q.h - tf.left) : r.left + (q.h - tf.left));
  SInt16 y = SInt16(t.mirrorV ? r.bottom - (q.v - tf.top) : r.top + (q.v - tf.top));
  return Point{y, x};
}

void PlaceAt(Rect* r, SInt16 left, SInt16 top, SInt16 width, SInt16 height) {
  *r = Rect{top, left, SInt16(top + height), SInt16(left + width)};
}

Frame* ShownFrame(const SpriteBase* s) { return s ? s->GetFrame(s->frame) : nullptr; }

void AlignTo(SpriteBase* s, SInt8 ap, Point target, bool targetMirrored, bool coordinate) {
  Frame* f = ShownFrame(s);
  if (!f) return;
  Point p = Turn(f->AlignPoint(ap), f->bounds, s->rotation, s->mirrorH ? f->bounds.right : f->bounds.left);
  SInt16 left = SInt16(target.h - OffsetH(p, *f, *s)), top = SInt16(target.v - OffsetV(p, *f, *s));
  SInt16 w = Width(f->bounds), h = Height(f->bounds);
  if ((s->rotation & 1) == 0) {
    PlaceAt(&s->rect, left, top, w, h);
    return;
  }
  s->rect.top = top;
  s->rect.bottom = SInt16(top + w);
  if (targetMirrored && !coordinate) {
    s->rect.right = left;
    s->rect.left = SInt16(left - h);
  } else {
    s->rect.left = left;
    s->rect.right = SInt16(left + h);
  }
}

}  // namespace

void FrameArray::Set(Frame* frame, SInt16 n) {
  first = frame;
  count = n;
  name[0] = 0;
  if (frame) CopyString(frame->arrayName, name);
}

void FrameArray::GetName(unsigned char* out) const { CopyString(name, out); }

SpriteBase::SpriteBase() : on(0), frameArray{0, nullptr, {0}} { Reset(); }

void SpriteBase::Reset() {
  pixMap = alphaMap = nullptr;
  rect = Rect{0, 0, 0, 0};
  oldRect = rect;
  frame = 0;
  action = actionAux = oldAction = actionStep = 0;
  mirrorH = mirrorV = rotation = 0;
  on = 0;
  frames = nullptr;
}

void SpriteBase::SetFrame(Frame* first) {
  if (!first) return;
  frames = first;
  frameArray.Set(first, first->ArraySize());
  if (first->pixmap) pixMap = first->pixmap;
  if (first->alphaPixmap) alphaMap = first->alphaPixmap;
}

Frame* SpriteBase::GetFrame(SInt16 index) const {
  // A lone frame (array size 0) is an array of one.
  if (!frames || index < 0 || index >= std::max<SInt16>(frames->ArraySize(), 1)) return nullptr;
  return frames + index;
}

void SpriteBase::ActionString(unsigned char* out) const {
  out[0] = 0;
  if (frames) frames->GetArrayName(out);
}

void SpritePart::Reset() {
  SpriteBase::Reset();
  partByte = 0;
}

SpriteClass::SpriteClass() : next(nullptr), prev(nullptr), type(-1) {
  curSPRITE = this;
  prev = lastSPRITE;
  if (lastSPRITE)
    lastSPRITE->next = this;
  else
    firstSPRITE = this;
  lastSPRITE = this;
  numSPRITES++;
  part.ManualInit(kSpriteParts);
  part.SetName(kPartName, -1);
  Reset();
}

SpriteClass::SpriteClass(const SpriteClass& source) : SpriteClass() { SetTo(source); }

SpriteClass::~SpriteClass() {
  if (prev)
    prev->next = next;
  else if (firstSPRITE == this)
    firstSPRITE = next;
  if (next)
    next->prev = prev;
  else if (lastSPRITE == this)
    lastSPRITE = prev;
  if (curSPRITE == this) curSPRITE = next;
  numSPRITES--;
}

SpriteClass& SpriteClass::operator=(const SpriteClass& source) {
  if (this != &source) SetTo(source);
  return *this;
}

SInt32 SpriteClass::ClassSize() const { return SInt32(sizeof(SpriteClass)); }

void SpriteClass::Reset() {
  SpriteBase::Reset();
  rect = Rect{0, 0, 0, 0};
  realRect = lastRect = spareRect = clipRect = oldClipRect = area = homeRect = rect;
  std::fill(std::begin(stateBytes), std::end(stateBytes), 0);
  stateBytes[12] = 24;
  stateBytes[kStateByteDirection] = 1;
  std::fill(std::begin(stateShorts), std::end(stateShorts), 0);
  std::fill(std::begin(stateLongs), std::end(stateLongs), 0);
  stateLongs[kStateLongScale] = 65536;
  spareByte = -1;
  spareLongs[0] = spareLongs[1] = 0;
  color.Reset();
  spareShort = 0;
  for (UInt32 i = 0; i < part.Size(); i++) part[i].Reset();
  spareShorts[0] = spareShorts[1] = 0;
  copyOn = 0;
  spareFlag = 0;
}

void SpriteClass::SetTo(const SpriteClass& s) {
  static_cast<SpriteBase&>(*this) = s;
  realRect = s.realRect, lastRect = s.lastRect, spareRect = s.spareRect;
  clipRect = s.clipRect, oldClipRect = s.oldClipRect;
  std::copy(std::begin(s.stateBytes), std::end(s.stateBytes), stateBytes);
  std::copy(std::begin(s.stateShorts), std::end(s.stateShorts), stateShorts);
  std::copy(std::begin(s.stateLongs), std::end(s.stateLongs), stateLongs);
  spareByte = s.spareByte;
  spareLongs[0] = s.spareLongs[0], spareLongs[1] = s.spareLongs[1];
  color = s.color;
  spareShort = s.spareShort;
  if (part.Size() != s.part.Size()) {
    part.ManualInit(s.part.Size());
    part.SetName(kPartName, -1);
  }
  for (UInt32 i = 0; i < s.part.Size(); i++) part[i] = s.part[i];
  spareShorts[0] = s.spareShorts[0], spareShorts[1] = s.spareShorts[1];
  copyOn = s.copyOn;
  area = s.area;
  spareFlag = s.spareFlag;
  homeRect = s.homeRect;
  type = s.type;
}

void SpriteClass::SetDrawRect() {
  if (!on) return;
  oldRect = rect;
  oldClipRect = clipRect;
  for (UInt32 i = 0; i < part.Size(); i++)
    if (part[i].on) part[i].oldRect = part[i].rect;
}

void SpriteClass::DisableParts() {
  for (UInt32 i = 0; i < part.Size(); i++) part[i].on = 0;
}

void SpriteClass::MakeArea() {
  area = Rect{std::min(rect.top, lastRect.top), std::min(rect.left, lastRect.left),
              std::max(rect.bottom, lastRect.bottom), std::max(rect.right, lastRect.right)};
}

void SpriteClass::TurnOffCopy() {
  if (!on) copyOn = 0;
}

void SpriteClass::SetClip(const Rect* r) {
  if (r) clipRect = *r;
}

void SetSpriteOldRects() {
  for (curSPRITE = firstSPRITE; curSPRITE; curSPRITE = curSPRITE->next)
    if (curSPRITE->on) curSPRITE->lastRect = curSPRITE->rect;
}

void SetSpriteDrawRects() {
  for (curSPRITE = firstSPRITE; curSPRITE; curSPRITE = curSPRITE->next)
    if (curSPRITE->on) curSPRITE->SetDrawRect();
}

void MapPt(Point* p, const Rect* from, const Rect* to) {
  SInt32 sw = Width(*from), sh = Height(*from);
  p->h = SInt16(sw > 0 ? to->left + (p->h - from->left) * SInt32(Width(*to)) / sw : p->h + to->left - from->left);
  p->v = SInt16(sh > 0 ? to->top + (p->v - from->top) * SInt32(Height(*to)) / sh : p->v + to->top - from->top);
}

void MapRect(Rect* r, const Rect* from, const Rect* to) {
  Point a{r->top, r->left}, b{r->bottom, r->right};
  MapPt(&a, from, to);
  MapPt(&b, from, to);
  *r = Rect{a.v, a.h, b.v, b.h};
}

Boolean EmptyRect(const Rect* r) { return r->right <= r->left || r->bottom <= r->top; }

Rect GetHotRect(SpriteClass* s, SInt8 i) {
  Frame* f = ShownFrame(s);
  if (!f || i < 0 || i >= f->HotRectCount()) return Rect{0, 0, 0, 0};
  Rect hot = f->HotRect(i);
  MapRect(&hot, &f->bounds, &s->rect);
  if (s->mirrorH) {
    SInt16 d = SInt16((s->rect.right - hot.right) - (hot.left - s->rect.left));
    hot.left = SInt16(hot.left + d);
    hot.right = SInt16(hot.right + d);
  }
  return hot;
}

void GetHotPoint(SpriteClass* s, SInt8 i, Point* out) {
  Frame* f = ShownFrame(s);
  *out = Point{0, 0};
  if (!f) return;
  *out = f->HotPoint(i);
  MapPt(out, &f->bounds, &s->rect);
  if (s->mirrorH) out->h = SInt16(s->rect.left + s->rect.right - out->h);
}

Boolean IsValidAlignPoint(SpriteClass* s, SInt8 i) {
  Frame* f = ShownFrame(s);
  if (!f) return false;
  Point p = f->AlignPoint(i);
  return p.h != 0 || p.v != 0;
}

Point GetAlignPoint(SpriteClass* s, SInt8 i) {
  Frame* f = ShownFrame(s);
  if (!f) return Point{0, 0};
  Point p = f->AlignPoint(i);
  if (p.h == 0 && p.v == 0) return p;
  MapPt(&p, &f->bounds, &s->rect);
  if (s->mirrorH) p.h = SInt16(s->rect.left + s->rect.right - p.h);
  return p;
}

void SetSpriteReal(SpriteClass* s, UInt8 useRect) {
  if (!s) return;
  s->realRect = GetHotRect(s, 0);
  if (useRect && EmptyRect(&s->realRect)) s->realRect = s->rect;
}

void SetRectToFrame_Angle(Rect* r, const Frame& f, SInt8 h, SInt8 v) {
  Fit(r, Width(f.bounds), Height(f.bounds), h, v);
}

void SetRectToFrame2(SpriteClass& s, const Frame& f, SInt8 h, SInt8 v) {
  bool turned = (s.rotation & 1) != 0;
  Fit(&s.rect, turned ? Height(f.bounds) : Width(f.bounds), turned ? Width(f.bounds) : Height(f.bounds), h, v);
}

void ResizeSprite_Angle(SpriteBase& s, SInt8 h, SInt8 v) {
  if (Frame* f = ShownFrame(&s)) SetRectToFrame_Angle(&s.rect, *f, h, v);
}

void AlignNextStep(SpriteClass* s, SInt8 ap, SInt8 next) {
  if (!s) return;
  if (s->Direction() == 0) {
    ErrorDialog("The sprite has an animation direction value of 0.", "AlignNextStep()", 0, 1);
    return;
  }
  if (next < 0) next = SInt8(s->frame + s->Direction());
  Frame *cf = s->GetFrame(s->frame), *nf = s->GetFrame(next);
  if (!cf || !nf) return;
  Point a = cf->AlignPoint(ap), b = nf->AlignPoint(ap);
  SInt16 left = SInt16(s->rect.left + OffsetH(a, *cf, *s) - OffsetH(b, *nf, *s));
  SInt16 top = SInt16(s->rect.top + OffsetV(a, *cf, *s) - OffsetV(b, *nf, *s));
  s->frame = next;
  PlaceAt(&s->rect, left, top, Width(nf->bounds), Height(nf->bounds));
}

void AlignNextAction(SpriteClass* s, SInt16 newAction, SInt8 newFrame, SInt8 ap, SInt8 nap) {
  if (!s) return;
  Frame* cf = s->GetFrame(s->frame);
  Frame* head = GetArrayFrame(newAction, 0, 0, 0);
  Frame* nf = GetArrayFrame(newAction, newFrame, 0, 0);
  if (!cf || !head || !nf) return;
  if (nap < 0) nap = ap;
  Point a = cf->AlignPoint(ap), b = nf->AlignPoint(nap);
  SInt16 left = SInt16(s->rect.left + OffsetH(a, *cf, *s) - OffsetH(b, *nf, *s));
  SInt16 top = SInt16(s->rect.top + OffsetV(a, *cf, *s) - OffsetV(b, *nf, *s));
  s->oldAction = s->action;
  s->SetFrame(head);
  s->action = newAction;
  s->frame = newFrame;
  s->actionStep = 0;
  s->DisableParts();
  PlaceAt(&s->rect, left, top, Width(nf->bounds), Height(nf->bounds));
}

void AlignSprite2(SpriteClass* s, SInt8 ap, SpriteClass* t, SInt8 tap) {
  if (!s || !t || t->part.Size() == 0) return;
  SpritePart& p0 = t->part[0];
  Frame *f = ShownFrame(s), *tf = ShownFrame(&p0);
  if (!f || !tf) return;
  Point a = f->AlignPoint(ap);
  Point at = PartPoint(tf->AlignPoint(tap), tf->bounds, p0.rect, *t);
  PlaceAt(&s->rect, SInt16(at.h - OffsetH(a, *f, *s)), SInt16(at.v - OffsetV(a, *f, *s)), Width(f->bounds),
          Height(f->bounds));
}

void AlignSprite2to1(SpriteClass* s, SInt8 ap, SpriteClass* t, SInt8 tap, SInt8 n) {
  if (!s || !t || n < 0 || UInt32(n) >= s->part.Size()) return;
  SpritePart& p = s->part[UInt32(n)];
  Frame *pf = ShownFrame(&p), *tf = ShownFrame(t);
  if (!pf || !tf) return;
  Point a = pf->AlignPoint(ap);
  if (Frame* own = ShownFrame(s)) SetRectToFrame_Angle(&s->rect, *own, 0, 0);
  Point at = PartPoint(tf->AlignPoint(tap), tf->bounds, t->rect, *t);
  PlaceAt(&p.rect, SInt16(at.h - OffsetH(a, *pf, *s)), SInt16(at.v - OffsetV(a, *pf, *s)), Width(pf->bounds),
          Height(pf->bounds));
}

void AlignSprite(SpriteBase* s, SInt8 ap, SpriteBase* t, SInt8 tap) {
  Frame* tf = ShownFrame(t);
  if (!s || !tf) return;
  Point q = Turn(tf->AlignPoint(tap), tf->bounds, t->rotation, tf->bounds.left);
  AlignTo(s, ap, TargetPoint(q, tf->bounds, t->rect, *t), t->mirrorH != 0, false);
}

void AlignSpriteToCoord(SpriteBase* s, SInt8 ap, SInt16 x, SInt16 y) {
  if (s) AlignTo(s, ap, Point{y, x}, false, true);
}

void AlignPart(SpriteBase* part, SInt8 ap, SpriteBase* t, SInt8 tap) {
  if (!part || !t) return;
  part->mirrorH = t->mirrorH;
  part->mirrorV = t->mirrorV;
  part->rotation = t->rotation;
  AlignSprite(part, ap, t, tap);
}

void AlignSpriteToPart(SpriteBase* s, SInt8 ap, SpriteClass* t, SInt8 tap, SInt8 n) {
  if (!t || n < 0 || UInt32(n) >= t->part.Size()) return;
  AlignSprite(s, ap, &t->part[UInt32(n)], tap);
}
