#include "platform/QuickDrawColor.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <new>

namespace {

OSErr resourceError;
SInt32 nextSeed = 1024;
std::map<WindowRef, PaletteHandle> windowPalettes;

double Unit(UInt16 c) { return double(c) / 65535.0; }
UInt16 Component(double u) { return UInt16(std::lround(std::clamp(u, 0.0, 1.0) * 65535.0)); }

// Hue in sixths of a turn, 0 to 6, of a colour whose channels differ.
double HueSixths(double r, double g, double b, double max, double delta) {
  double h;
  if (max == r)
    h = std::fmod((g - b) / delta + 6.0, 6.0);
  else if (max == g)
    h = 2.0 + (b - r) / delta;
  else
    h = 4.0 + (r - g) / delta;
  return h;
}

UInt16 HueOf(double sixths) { return UInt16(SInt32(std::lround(sixths / 6.0 * 65536.0)) & 0xFFFF); }

// The colour of a hue at full saturation and value 1, scaled into [min, max].
void FromHue(UInt16 hue, double chroma, double min, RGBColor* rgb) {
  double h = double(hue) / 65536.0 * 6.0;
  double x = chroma * (1.0 - std::fabs(std::fmod(h, 2.0) - 1.0));
  double r = 0, g = 0, b = 0;
  switch (SInt32(h)) {
    case 0: r = chroma, g = x; break;
    case 1: r = x, g = chroma; break;
    case 2: g = chroma, b = x; break;
    case 3: g = x, b = chroma; break;
    case 4: r = x, b = chroma; break;
    default: r = chroma, b = x; break;
  }
  *rgb = {Component(r + min), Component(g + min), Component(b + min)};
}

void FillGrey(CTabHandle table, SInt32 depth) {
  SInt32 entries = 1 << depth;
  (*table)->ctSize = SInt16(entries - 1);
  for (SInt32 i = 0; i < entries; i++) {
    UInt16 level = UInt16(65535 - i * 65535 / (entries - 1));
    (*table)->ctTable[i] = {SInt16(i), {level, level, level}};
  }
}

// The standard 256-colour table: the cube of six levels per channel from
// white down (black left out), then ten-level red, green, blue and grey
// ramps, then black.
void FillStandard(CTabHandle table) {
  const UInt16 cube[6] = {0xFFFF, 0xCCCC, 0x9999, 0x6666, 0x3333, 0x0000};
  const UInt16 ramp[10] = {0xEEEE, 0xDDDD, 0xBBBB, 0xAAAA, 0x8888, 0x7777, 0x5555, 0x4444, 0x2222, 0x1111};
  ColorSpec* e = (*table)->ctTable;
  SInt16 n = 0;
  for (int r = 0; r < 6; r++)
    for (int g = 0; g < 6; g++)
      for (int b = 0; b < 6; b++)
        if (r < 5 || g < 5 || b < 5) e[n] = {n, {cube[r], cube[g], cube[b]}}, n++;
  for (int channel = 0; channel < 4; channel++)
    for (UInt16 level : ramp) {
      RGBColor c{0, 0, 0};
      if (channel == 0 || channel == 3) c.red = level;
      if (channel == 1 || channel == 3) c.green = level;
      if (channel == 2 || channel == 3) c.blue = level;
      e[n] = {n, c};
      n++;
    }
  e[n] = {n, {0, 0, 0}};
  (*table)->ctSize = 255;
}

CTabHandle StandardTable() {
  static CTabHandle standard = GetCTable(8);
  return standard;
}

}  // namespace

void RGB2HSV(const RGBColor* rgb, HSVColor* hsv) {
  double r = Unit(rgb->red), g = Unit(rgb->green), b = Unit(rgb->blue);
  double max = std::max({r, g, b}), min = std::min({r, g, b}), delta = max - min;
  hsv->value = Component(max);
  hsv->saturation = max > 0 ? Component(delta / max) : 0;
  hsv->hue = delta > 0 ? HueOf(HueSixths(r, g, b, max, delta)) : 0;
}

void HSV2RGB(const HSVColor* hsv, RGBColor* rgb) {
  double v = Unit(hsv->value), chroma = v * Unit(hsv->saturation);
  FromHue(hsv->hue, chroma, v - chroma, rgb);
}

void RGB2HSL(const RGBColor* rgb, HSLColor* hsl) {
  double r = Unit(rgb->red), g = Unit(rgb->green), b = Unit(rgb->blue);
  double max = std::max({r, g, b}), min = std::min({r, g, b}), delta = max - min;
  double l = (max + min) / 2.0;
  hsl->lightness = Component(l);
  hsl->saturation = delta > 0 ? Component(delta / (1.0 - std::fabs(2.0 * l - 1.0))) : 0;
  hsl->hue = delta > 0 ? HueOf(HueSixths(r, g, b, max, delta)) : 0;
}

void HSL2RGB(const HSLColor* hsl, RGBColor* rgb) {
  double l = Unit(hsl->lightness);
  double chroma = (1.0 - std::fabs(2.0 * l - 1.0)) * Unit(hsl->saturation);
  FromHue(hsl->hue, chroma, l - chroma / 2.0, rgb);
}

CTabHandle GetCTable(SInt16 id) {
  SInt32 depth = id > 32 ? id - 32 : id;
  bool known = id == 8 || ((id == 1 || id == 2 || id == 4 || id == 33 || id == 34 || id == 36 || id == 40) &&
                           (depth == 1 || depth == 2 || depth == 4 || depth == 8));
  CTabHandle table = known ? NewColorTable(SInt16(1 << depth)) : nullptr;
  SetResError(known ? OSErr(noErr) : OSErr(resNotFound));
  if (!table) return nullptr;
  if (id == 8)
    FillStandard(table);
  else
    FillGrey(table, depth);
  (*table)->ctSeed = id;
  return table;
}

SInt32 GetCTSeed() { return nextSeed++; }

CTabHandle CurrentColorTable() {
  CGrafPtr port;
  GDHandle device;
  GetGWorld(&port, &device);
  if (port && port->portPixMap && (*port->portPixMap)->pixelSize <= 8 && (*port->portPixMap)->pmTable)
    return (*port->portPixMap)->pmTable;
  if (device && (*device)->gdPMap && (*(*device)->gdPMap)->pmTable) return (*(*device)->gdPMap)->pmTable;
  return StandardTable();
}

void Index2Color(SInt32 index, RGBColor* colour) {
  CTabHandle table = CurrentColorTable();
  if (!table || index < 0 || index > (*table)->ctSize) {
    *colour = {0, 0, 0};
    return;
  }
  *colour = (*table)->ctTable[index].rgb;
}

SInt32 NearestIndex(CTabHandle table, const RGBColor& c) {
  if (!table) return 0;
  SInt32 best = 0;
  UInt64 bestDistance = ~UInt64(0);
  for (SInt32 i = 0; i <= (*table)->ctSize; i++) {
    const RGBColor& e = (*table)->ctTable[i].rgb;
    SInt64 dr = SInt64(e.red) - c.red, dg = SInt64(e.green) - c.green, db = SInt64(e.blue) - c.blue;
    UInt64 distance = UInt64(dr * dr + dg * dg + db * db);
    if (distance < bestDistance) {
      bestDistance = distance;
      best = i;
    }
  }
  return best;
}

SInt32 Color2Index(const RGBColor* colour) { return NearestIndex(CurrentColorTable(), *colour); }

void SetEntries(SInt16 start, SInt16 count, const ColorSpec* entries) {
  GDHandle device;
  GetGWorld(nullptr, &device);
  if (!device || !(*device)->gdPMap || !entries || start < 0) return;
  CTabHandle table = (*(*device)->gdPMap)->pmTable;
  if (!table) return;
  for (SInt32 i = 0; i <= count && start + i <= (*table)->ctSize; i++)
    (*table)->ctTable[start + i].rgb = entries[i].rgb;
  (*table)->ctSeed = GetCTSeed();
}

RGBColor PixelColor(PixMapHandle pm, SInt32 x, SInt32 y) {
  if (!pm || !(*pm)->baseAddr) return {0, 0, 0};
  const PixMap& p = **pm;
  if (x < p.bounds.left || x >= p.bounds.right || y < p.bounds.top || y >= p.bounds.bottom) return {0, 0, 0};
  const UInt8* row = reinterpret_cast<const UInt8*>(p.baseAddr) + SInt32(y - p.bounds.top) * (p.rowBytes & 0x7FFF);
  SInt32 col = x - p.bounds.left;
  SInt32 depth = p.pixelFormat ? SInt32(p.pixelFormat) : p.pixelSize;
  if (depth == 32) {
    UInt32 v = reinterpret_cast<const UInt32*>(row)[col];
    return {UInt16(((v >> 16) & 0xFF) * 257), UInt16(((v >> 8) & 0xFF) * 257), UInt16((v & 0xFF) * 257)};
  }
  if (depth == 16) {
    UInt16 v = reinterpret_cast<const UInt16*>(row)[col];
    auto expand = [](UInt32 c) { return UInt16(c * 2114 + (c >> 4)); };
    return {expand((v >> 10) & 31), expand((v >> 5) & 31), expand(v & 31)};
  }
  SInt32 bit = col * depth;
  SInt32 index = (row[bit / 8] >> (8 - depth - bit % 8)) & ((1 << depth) - 1);
  CTabHandle table = p.pmTable;
  if (!table || index > (*table)->ctSize) return {0, 0, 0};
  return (*table)->ctTable[index].rgb;
}

void GetCPixel(SInt16 h, SInt16 v, RGBColor* colour) {
  CGrafPtr port;
  GetGWorld(&port, nullptr);
  *colour = port ? PixelColor(port->portPixMap, h, v) : RGBColor{0, 0, 0};
}

void SetCPixel(SInt16 h, SInt16 v, const RGBColor* colour) {
  CGrafPtr port;
  GetGWorld(&port, nullptr);
  if (!port || !colour) return;
  RGBColor saved = port->rgbBkColor;
  RGBBackColor(colour);
  Rect r{v, h, SInt16(v + 1), SInt16(h + 1)};
  EraseRect(&r);
  RGBBackColor(&saved);
}

PaletteHandle NewPalette(SInt16 entries, CTabHandle colours, SInt16 usage, SInt16 tolerance) {
  if (entries < 1 || entries > kMaxColorEntries) return nullptr;
  auto* block = new (std::nothrow) Palette{};
  if (!block) return nullptr;
  auto* handle = new (std::nothrow) Palette*(block);
  if (!handle) {
    delete block;
    return nullptr;
  }
  block->pmEntries = entries;
  if (colours) CTab2Palette(colours, handle, usage, tolerance);
  block->pmEntries = entries;
  for (SInt32 i = 0; i < entries; i++) block->pmInfo[i].ciUsage = usage, block->pmInfo[i].ciTolerance = tolerance;
  return handle;
}

void DisposePalette(PaletteHandle palette) {
  if (!palette) return;
  for (auto it = windowPalettes.begin(); it != windowPalettes.end();)
    it = it->second == palette ? windowPalettes.erase(it) : std::next(it);
  delete *palette;
  delete palette;
}

void CTab2Palette(CTabHandle table, PaletteHandle palette, SInt16 usage, SInt16 tolerance) {
  if (!table || !palette) return;
  SInt32 entries = (*table)->ctSize + 1;
  (*palette)->pmEntries = SInt16(entries);
  for (SInt32 i = 0; i < entries; i++) (*palette)->pmInfo[i] = {(*table)->ctTable[i].rgb, usage, tolerance};
}

void Palette2CTab(PaletteHandle palette, CTabHandle table) {
  if (!table || !palette) return;
  SInt32 entries = std::min<SInt32>((*palette)->pmEntries, (*table)->ctSize + 1);
  for (SInt32 i = 0; i < entries; i++) (*table)->ctTable[i] = {SInt16(i), (*palette)->pmInfo[i].ciRGB};
}

const WindowRef kAppDefaultPalette = reinterpret_cast<WindowRef>(-1);

void SetPalette(WindowRef window, PaletteHandle palette, Boolean) {
  if (!window) return;
  if (palette)
    windowPalettes[window] = palette;
  else
    windowPalettes.erase(window);
}

PaletteHandle GetPalette(WindowRef window) {
  auto it = windowPalettes.find(window);
  return it == windowPalettes.end() ? nullptr : it->second;
}

void SetPortPalette(CGrafPtr port, PaletteHandle palette) {
  if (port) port->palette = palette;
}

PaletteHandle GetPortPalette(CGrafPtr port) { return port ? port->palette : nullptr; }

void SetPt(Point* pt, SInt16 h, SInt16 v) {
  pt->h = h;
  pt->v = v;
}

Boolean PtInRgn(Point pt, RgnHandle region) {
  if (!region) return false;
  const Rect& b = region->rgnBBox;
  if (pt.v < b.top || pt.v >= b.bottom || pt.h < b.left || pt.h >= b.right) return false;
  if (!region->mask) return true;
  return region->mask[SInt32(pt.v - b.top) * (b.right - b.left) + (pt.h - b.left)] != 0;
}

OSErr ResError() { return resourceError; }

void SetResError(OSErr err) { resourceError = err; }
