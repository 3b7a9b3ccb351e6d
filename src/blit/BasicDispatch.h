// The dispatch shared by the basic, effect and test blits of every depth:
// set-up, colour and lookup folding, the slot index and one kernel call.
#pragma once

#include "blit/BlitSetup.h"
#include "blit/ScaleSprite.h"

// The fourteen arguments of every basic, effect and test dispatcher, and the
// request they make.
#define BLIT_DISPATCH_PARAMS                                                                                     \
  PixMapHandle src, PixMapHandle dst, PixMapHandle mask, const Rect *srcRect, const Rect *dstRect,               \
      const Rect *clipRect, SInt32 mode, SInt32 color, void *lookup, void *transTable, UInt8 hFlip, UInt8 vFlip, \
      char turn, const Rect *maskRect
#define BLIT_REQUEST \
  BlitRequest { src, dst, mask, srcRect, dstRect, clipRect, maskRect, hFlip, vFlip, turn }

struct BasicCall {
  SInt32 mode;
  SInt32 color;
  void* lookup;
  void* transTable;  // read by the 8-bit copy and scale dispatchers only
};

// Entries a lookup table must hold for a pixel of type T: every value of an
// 8- or 16-bit pixel; a 32-bit table's size is the caller's to keep.
template <class T>
constexpr UInt32 LookupEntries() {
  if constexpr (sizeof(T) < 4)
    return UInt32(1) << (8 * sizeof(T));
  else
    return 0;
}

// Fills the scale table for a planned scaled blit; returns scaleErr.
SInt32 PrepareScaleTable(const BlitPlan& p, SInt32 step, bool* ok);

// How the effect and test entries differ from the basic ones.
enum class BasicKind {
  Basic,   // colour and lookup folded; the slot from mask, trans, colour, lookup
  Effect,  // a lookup table is required and reaches the kernel as given; slot from mask alone
};

// One basic blit: plan, fold, pick the slot and call its kernel once.
template <class T, class Table>
void RunBasicBlit(const Table& table, BasicKind kind, BlitSize size, const BlitRequest& q, BasicCall c) {
  constexpr int depth = 8 * sizeof(T);
  BlitPlan p;
  if (!PlanBlit(q, depth, size, &p)) return;
  T* lookup = static_cast<T*>(c.lookup);
  SInt32 mode = c.mode, color = c.color;
  unsigned slot = q.mask ? unsigned(kFlagMask) : 0u;
  if (kind == BasicKind::Effect) {
    if (!lookup) return;
    color = -1;
  } else {
    bool hasColor = false;
    if (!FoldColorAndLookup<T>(&mode, &color, &hasColor, &lookup, LookupEntries<T>())) return;
    if (depth == 8 && c.transTable) slot |= kFlagTrans;
    if (hasColor) slot |= kFlagColor;
    if (lookup) slot |= kFlagLookup;
  }
  SInt32 scaleErr = 0, scaleSrc = 0, scaleDst = 0;
  if (size == BlitSize::Scaled) {
    bool ok = false;
    scaleErr = PrepareScaleTable(p, p.srcPixStep, &ok);
    if (!ok) return;
    scaleSrc = p.scaleSrc;
    scaleDst = p.scaleDst;
  }
  T* srcStart = PixelAt<T>(p.srcBase, p.srcStart);
  T* dstStart = PixelAt<T>(p.dstBase, p.dstStart);
  T* maskStart = q.mask ? PixelAt<T>(p.maskBase, p.maskStart) : nullptr;
  T* dstEnd = dstStart + ptrdiff_t(p.dstRowPixels) * p.height;
  const auto kernel = table[slot];
  if constexpr (requires {
                  kernel(0, srcStart, dstStart, maskStart, 0, 0, 0, 0, 0, 0, 0, dstEnd, 0, 0, 0, 0, lookup, 0, lookup);
                }) {
    T* trans = depth == 8 && kind == BasicKind::Basic ? static_cast<T*>(c.transTable) : nullptr;
    kernel(mode, srcStart, dstStart, maskStart, p.srcPixStep, p.srcRowPixels, p.dstRowPixels, p.maskRowPixels,
           p.srcRowStep, scaleSrc, scaleDst, dstEnd, p.width, p.rowDir, p.xShrink, scaleErr, lookup, color, trans);
  } else {
    kernel(mode, srcStart, dstStart, maskStart, p.srcPixStep, p.srcRowPixels, p.dstRowPixels, p.maskRowPixels,
           p.srcRowStep, scaleSrc, scaleDst, dstEnd, p.width, p.rowDir, p.xShrink, scaleErr, lookup, color);
  }
}
