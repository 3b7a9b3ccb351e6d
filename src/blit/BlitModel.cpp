#include "blit/BlitModel.h"

#include <string>
#include <vector>

#include "foundation/ErrorDialog.h"

namespace {

struct FamilyNaming {
  const char* prefix;
  std::vector<const char*> flags;  // highest bit first
  unsigned filled;                 // slots 0 .. filled-1 hold kernels
  bool oneKernel;                  // every slot holds the kernel of slot 0
};

FamilyNaming NamingOf(KernelFamily family) {
  const std::vector<const char*> basic = {"lookup", "color", "trans", "mask"};
  const std::vector<const char*> effect = {"bright", "mapping", "alpha", "lookup", "color", "trans", "mask"};
  switch (family) {
    case KernelFamily::Copy8: return {"COPY8", basic, 16, false};
    case KernelFamily::Copy16: return {"COPY16", basic, 16, false};
    case KernelFamily::Copy32: return {"COPY32", basic, 16, false};
    case KernelFamily::Scale8: return {"SCALE8", basic, 16, false};
    case KernelFamily::Scale16: return {"SCALE16", basic, 16, false};
    case KernelFamily::Scale32: return {"SCALE32", basic, 16, false};
    case KernelFamily::CopyFX8: return {"COPY8", {"mask"}, 2, false};
    case KernelFamily::CopyFX16: return {"COPY16", {"mask"}, 2, false};
    case KernelFamily::CopyFX32: return {"COPY32", {"mask"}, 2, false};
    case KernelFamily::ScaleFX8: return {"SCALE8", {"mask"}, 2, false};
    case KernelFamily::ScaleFX16: return {"SCALE16", {"mask"}, 2, false};
    case KernelFamily::ScaleFX32: return {"SCALE32", {"mask"}, 2, false};
    case KernelFamily::Test16: return {"TEST16", basic, 16, true};
    case KernelFamily::TestFX16: return {"TEST16", {"lookup", "color", "mask"}, 2, true};
    case KernelFamily::CopyRGB16: return {"COPY16", effect, 128, false};
    case KernelFamily::ScaleRGB16: return {"SCALE16", effect, 128, false};
    case KernelFamily::TestRGB16: return {"TEST16", effect, 128, true};
  }
  return {"", {}, 0, false};
}

std::string BuildName(KernelFamily family, unsigned slot) {
  const FamilyNaming n = NamingOf(family);
  if (slot >= n.filled) return {};
  if (n.oneKernel) slot = 0;
  std::string name = n.prefix;
  const size_t count = n.flags.size();
  for (size_t i = 0; i < count; ++i) {
    const unsigned bit = 1u << (count - 1 - i);
    name += (slot & bit) ? "_X_" : "___";
    name += n.flags[i];
  }
  if (IsStubSlot(family, slot)) name += "_UNUSED";
  return name;
}

constexpr int kFamilies = int(KernelFamily::TestRGB16) + 1;

}  // namespace

const char* KernelName(KernelFamily family, unsigned slot) {
  static const std::vector<std::vector<std::string>> names = [] {
    std::vector<std::vector<std::string>> all(kFamilies);
    for (int f = 0; f < kFamilies; ++f)
      for (unsigned s = 0; s < kJumpSlots; ++s) all[f].push_back(BuildName(KernelFamily(f), s));
    return all;
  }();
  if (slot >= unsigned(kJumpSlots)) return nullptr;
  const std::string& name = names[int(family)][slot];
  return name.empty() ? nullptr : name.c_str();
}

void KernelStubAlert(KernelFamily family, unsigned slot) { AlertDialog(KernelName(family, slot), "", "OK"); }

void CalcRectStart(Rect* srcRect, const Rect* dstRect, const Rect* clipRect, Rect* maskRect, UInt8 hFlip, UInt8 vFlip,
                   char turn, SInt32* startCorner, SInt32* pixDir, SInt32* rowBack, SInt32* rowDir, UInt8* xShrink,
                   UInt8* yShrink) {
  const bool odd = turn % 2 != 0;
  int t = turn & 3;
  if ((hFlip != 0) != (vFlip != 0)) {
    if (t == 1)
      t = 3;
    else if (t == 3)
      t = 1;
  }
  int corner = t, pix = t, row = t;
  bool hTrim = t > 1, vTrim = t > 1;
  auto swap = [](int v, int a, int b) { return v == a ? b : v == b ? a : v; };
  if (hFlip) {
    corner = 3 - t;
    pix = swap(pix, 0, 2);
    row = swap(row, 1, 3);
    (odd ? vTrim : hTrim) = !(odd ? vTrim : hTrim);
  }
  if (vFlip) {
    static constexpr int kVFlipCorner[4] = {1, 0, 3, 2};
    corner = kVFlipCorner[corner];
    pix = swap(pix, 1, 3);
    row = swap(row, 0, 2);
    (odd ? hTrim : vTrim) = !(odd ? hTrim : vTrim);
  }
  *startCorner = corner;
  *pixDir = *rowBack = pix;
  *rowDir = row;

  const Rect& d = *dstRect;
  const Rect& c = *clipRect;
  Rect& s = *srcRect;
  const SInt32 dstW = d.right - d.left, dstH = d.bottom - d.top;
  const SInt32 srcW = s.right - s.left, srcH = s.bottom - s.top;
  const SInt32 sx = odd ? srcH : srcW, sy = odd ? srcW : srcH;
  *xShrink = sx > dstW;
  *yShrink = sy > dstH;
  if (dstW <= 0 || dstH <= 0) return;

  // Products of 16-bit edges can pass 2^31: worked in 64 bits.
  const SInt64 left = SInt64(c.left - d.left) * sx / dstW;
  const SInt64 right = SInt64(d.right - c.right) * sx / dstW;
  const SInt64 top = SInt64(c.top - d.top) * sy / dstH;
  const SInt64 bottom = SInt64(d.bottom - c.bottom) * sy / dstH;
  // Which source edge each destination edge trims: by turn parity and flag.
  auto trim = [&](SInt16& edge, SInt64 amount, bool increases) {
    edge = SInt16(increases ? edge + amount : edge - amount);
  };
  auto trimEdge = [&](int destEdge, bool flag, SInt64 amount) {
    // destEdge: 0 left, 1 right, 2 top, 3 bottom
    static constexpr int kEven[4][2] = {{0, 1}, {1, 0}, {2, 3}, {3, 2}};  // source edge: 0 l, 1 r, 2 t, 3 b
    static constexpr int kOdd[4][2] = {{3, 2}, {2, 3}, {0, 1}, {1, 0}};
    const int edge = (odd ? kOdd : kEven)[destEdge][flag];
    switch (edge) {
      case 0: trim(s.left, amount, true); break;
      case 1: trim(s.right, amount, false); break;
      case 2: trim(s.top, amount, true); break;
      default: trim(s.bottom, amount, false); break;
    }
  };
  if (d.left < c.left) {
    trimEdge(0, hTrim, left);
    if (maskRect) maskRect->left = SInt16(maskRect->left + (c.left - d.left));
  }
  if (d.right > c.right) {
    trimEdge(1, hTrim, right);
    if (maskRect) maskRect->right = SInt16(maskRect->right - (d.right - c.right));
  }
  if (d.top < c.top) {
    trimEdge(2, vTrim, top);
    if (maskRect) maskRect->top = SInt16(maskRect->top + (c.top - d.top));
  }
  if (d.bottom > c.bottom) {
    trimEdge(3, vTrim, bottom);
    if (maskRect) maskRect->bottom = SInt16(maskRect->bottom - (d.bottom - c.bottom));
  }
}

WalkSteps WalkFromCodes(const Rect& r, SInt32 rowLength, SInt32 startCorner, SInt32 pixDir, SInt32 rowBack,
                        SInt32 rowDir) {
  const ptrdiff_t rp = rowLength;
  WalkSteps w{};
  switch (startCorner & 3) {
    case 0: w.start = r.top * rp + r.left; break;
    case 1: w.start = (r.bottom - 1) * rp + r.left; break;
    case 2: w.start = (r.bottom - 1) * rp + r.right - 1; break;
    default: w.start = r.top * rp + r.right - 1; break;
  }
  static constexpr SInt32 kSign[4] = {1, -1, -1, 1};
  w.pixStep = (pixDir & 1) ? kSign[pixDir & 3] * rowLength : kSign[pixDir & 3];
  SInt32 back = 0;
  switch (rowBack & 3) {
    case 0: back = r.left - r.right; break;
    case 1: back = (r.bottom - r.top) * rowLength; break;
    case 2: back = r.right - r.left; break;
    default: back = (r.top - r.bottom) * rowLength; break;
  }
  w.rowStep = back + RowAdvance(rowDir, rowLength);
  return w;
}
