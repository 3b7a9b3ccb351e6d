#include "graphics/DepthConversion.h"

#include <algorithm>

#include "graphics/PixelCopy.h"

UInt16 flushTABLE[256];
UInt32 flushLongTABLE[256];

namespace {

// Each 5-bit component c becomes the byte (c << 3) | (c >> 2); bit 15 is
// not read and alpha is full.
UInt32 Expand16To32(UInt16 p) {
  auto byte = [](UInt32 c) { return (c << 3) | (c >> 2); };
  return 0xFF000000u | byte((p >> 10) & 31) << 16 | byte((p >> 5) & 31) << 8 | byte(p & 31);
}

// A 16-bit colour component through a gamma channel, as 0 to 255: the
// entry is scaled by 255, truncated and held inside the byte.
UInt32 GammaByte(const float* channel, UInt16 component) {
  float c = 255.0f * channel[component >> 8];
  return c <= 0 ? 0 : c >= 255.0f ? 255 : UInt32(c);
}

// The colour table of an 8-bit copy, or null when none is to be had.
CTabHandle TableOf(PixMapHandle src, CTabHandle ctab) { return ctab ? ctab : src ? (*src)->pmTable : nullptr; }

template <typename From, typename To, typename Convert>
void ConvertRows(PixMapHandle src, PixMapHandle dst, const Rect* srcRect, const Rect* dstRect, const Rect* clip,
                 Convert convert) {
  CopyPlan plan;
  if (!PlanCopy(src, dst, srcRect, dstRect, clip, &plan)) return;
  for (auto [sr, dr] : plan.rows) {
    const From* from = reinterpret_cast<const From*>(PixelRow(src, sr)) + plan.srcLeft;
    To* to = reinterpret_cast<To*>(PixelRow(dst, dr)) + plan.dstLeft;
    for (SInt32 i = 0; i < plan.width; i++) to[i] = convert(from[i]);
  }
}

template <typename Entry>
void BuildFlushTable(CTabHandle table, GammaHandle gamma, Entry entry) {
  for (SInt32 i = 0; i < 256; i++) {
    RGBColor c = i <= (*table)->ctSize ? (*table)->ctTable[i].rgb : RGBColor{0, 0, 0};
    if (gamma)
      entry(i, true, GammaByte((*gamma)->red, c.red), GammaByte((*gamma)->green, c.green),
            GammaByte((*gamma)->blue, c.blue));
    else
      entry(i, false, c.red, c.green, c.blue);
  }
}

}  // namespace

void CopyRect8To16(PixMapHandle src, PixMapHandle dst, const Rect* srcRect, const Rect* dstRect, const Rect* clip,
                   CTabHandle ctab, GammaHandle gamma) {
  CTabHandle table = TableOf(src, ctab);
  if (!src || !dst || !srcRect || !dstRect || !clip || !table) return;
  BuildFlushTable(table, gamma, [](SInt32 i, bool scaled, UInt32 r, UInt32 g, UInt32 b) {
    flushTABLE[i] = scaled ? UInt16(0x8000 | (r >> 3) << 10 | (g >> 3) << 5 | (b >> 3))
                           : UInt16((r >> 11) << 10 | (g >> 11) << 5 | (b >> 11));
  });
  ConvertRows<UInt8, UInt16>(src, dst, srcRect, dstRect, clip, [](UInt8 p) { return flushTABLE[p]; });
}

void CopyRect8To32(PixMapHandle src, PixMapHandle dst, const Rect* srcRect, const Rect* dstRect, const Rect* clip,
                   CTabHandle ctab, GammaHandle gamma) {
  CTabHandle table = TableOf(src, ctab);
  if (!src || !dst || !srcRect || !dstRect || !clip || !table) return;
  BuildFlushTable(table, gamma, [](SInt32 i, bool scaled, UInt32 r, UInt32 g, UInt32 b) {
    flushLongTABLE[i] = scaled ? 0xFF000000u | r << 16 | g << 8 | b : (r >> 8) << 16 | (g >> 8) << 8 | (b >> 8);
  });
  ConvertRows<UInt8, UInt32>(src, dst, srcRect, dstRect, clip, [](UInt8 p) { return flushLongTABLE[p]; });
}

void CopyRect16To32(PixMapHandle src, PixMapHandle dst, const Rect* srcRect, const Rect* dstRect, const Rect* clip,
                    GammaHandle) {
  if (!src || !dst || !srcRect || !dstRect || !clip) return;
  ConvertRows<UInt16, UInt32>(src, dst, srcRect, dstRect, clip, Expand16To32);
}

void CopyRect32To16(PixMapHandle src, PixMapHandle dst, const Rect* srcRect, const Rect* dstRect, const Rect* clip,
                    GammaHandle) {
  if (!src || !dst || !srcRect || !dstRect || !clip) return;
  ConvertRows<UInt32, UInt16>(src, dst, srcRect, dstRect, clip, Convert32To16);
}

UInt16 Convert32To16(UInt32 pixel) {
  return UInt16(((pixel >> 9) & 0x7C00) | ((pixel >> 6) & 0x03E0) | ((pixel >> 3) & 0x001F));
}
