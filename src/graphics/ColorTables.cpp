#include "graphics/ColorTables.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "foundation/ErrorDialog.h"
#include "foundation/Memory.h"
#include "foundation/Paths.h"
#include "graphics/PNGFile.h"
#include "graphics/Ports.h"
#include "platform/PlatformFiles.h"
#include "shell/ApplInfo.h"

namespace {

SInt32 LookupBytes() {
  if (APPL.buildDepth == 8) return kLookupEntries8;
  if (APPL.buildDepth == 16) return kLookupEntries16 * 2;
  return 0;
}

void MirrorUpperHalf(UInt16* table) { std::memcpy(table + kPixels16, table, kPixels16 * sizeof(UInt16)); }

UInt16 Clamp16(SInt64 v) { return UInt16(std::clamp<SInt64>(v, 0, 65535)); }

// value x scale / 65536 in 64 bits, held to 0 ... 65535.
UInt16 Scaled(UInt16 value, SInt32 scale) { return Clamp16(SInt64(value) * scale / 65536); }

UInt16 Pack16(const RGBColor& c) { return UInt16(((c.red >> 11) << 10) | ((c.green >> 11) << 5) | (c.blue >> 11)); }

RGBColor Colour16(SInt32 pixel) {
  RGBColor c;
  IndexToRGB_16(pixel, c);
  return c;
}

RGBColor Colour8(SInt32 index) {
  RGBColor c;
  Index2Color(index, &c);
  return c;
}

// Runs `shift` over the HSV colour of every entry but the first and last,
// storing the nearest index or the packed pixel.
template <typename Shift>
void ShiftEntries(void* table, Shift shift) {
  if (!table) return;
  if (APPL.buildDepth == 8) {
    auto* t = static_cast<UInt8*>(table);
    for (SInt32 i = 1; i < kLookupEntries8 - 1; i++) {
      RGBColor c = Colour8(i);
      HSVColor hsv;
      RGB2HSV(&c, &hsv);
      shift(hsv);
      HSV2RGB(&hsv, &c);
      t[i] = UInt8(Color2Index(&c));
    }
  } else if (APPL.buildDepth == 16) {
    auto* t = static_cast<UInt16*>(table);
    for (SInt32 i = 1; i < kPixels16 - 1; i++) {
      RGBColor c = Colour16(i);
      HSVColor hsv;
      RGB2HSV(&c, &hsv);
      shift(hsv);
      HSV2RGB(&hsv, &c);
      t[i] = Pack16(c);
    }
    MirrorUpperHalf(t);
  }
}

// The same over the colour of each 8-bit entry's present value.
template <typename Shift>
void ShiftPresent8(unsigned char* table, Shift shift) {
  if (!table || APPL.buildDepth != 8) return;
  for (SInt32 i = 1; i < kLookupEntries8 - 1; i++) {
    RGBColor c = Colour8(table[i]);
    shift(c);
    table[i] = UInt8(Color2Index(&c));
  }
}

}  // namespace

std::string ResourceFilePath(const char* name, const char* extension) {
  std::string path = name ? name : "";
  std::string ext = extension;
  if (path.size() < ext.size() || path.compare(path.size() - ext.size(), ext.size(), ext) != 0) path += ext;
  if (path.find('/') == std::string::npos) path = GetResourcesPath() + "/" + path;
  return path;
}

void NewCTable(CTabHandle* table) {
  *table = GetCTable(8);
  if (*table) (**table)->ctSeed = GetCTSeed();
}

CTabHandle GetColorTable(SInt16 id) {
  if (CTabHandle system = GetCTable(id)) return system;
  std::FILE* file = OpenRegularFileForReading(GetResourcesPath() + "/CLUT/" + std::to_string(id) + ".clut");
  std::vector<UInt8> bytes;
  if (file) {
    UInt8 buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) bytes.insert(bytes.end(), buffer, buffer + n);
    std::fclose(file);
  }
  auto word = [&](size_t at) { return UInt16(bytes[at] << 8 | bytes[at + 1]); };
  const SInt32 last = bytes.size() >= 8 ? SInt16(word(6)) : -1;
  if (last < 0 || last > 255 || bytes.size() != 8 + 8 * size_t(last + 1)) {
    SetResError(resNotFound);
    return nullptr;
  }
  CTabHandle table = NewColorTable(SInt16(last + 1));
  if (!table) return nullptr;
  (*table)->ctSeed = SInt32(UInt32(word(0)) << 16 | word(2));
  (*table)->ctFlags = SInt16(word(4));
  for (SInt32 i = 0; i <= last; ++i) {
    const size_t at = 8 + 8 * size_t(i);
    (*table)->ctTable[i] = ColorSpec{SInt16(word(at)), RGBColor{word(at + 2), word(at + 4), word(at + 6)}};
  }
  SetResError(noErr);
  return table;
}

void LoadCTable(CTabHandle* table, SInt16 id) {
  if (*table) DisposeCTable(*table);
  *table = GetColorTable(id);
}

void CopyCTable(CTabHandle source, CTabHandle destination) {
  if (!source) {
    ErrorDialog("srceClut is nil.", "CopyCTable();", 0, 1);
    return;
  }
  if (!destination) {
    ErrorDialog("destClut is nil.", "CopyCTable();", 0, 1);
    return;
  }
  SInt32 copied = std::min((*source)->ctSize, (*destination)->ctSize) + 1;
  for (SInt32 i = 0; i < copied; i++) (*destination)->ctTable[i] = (*source)->ctTable[i];
  (*destination)->ctSeed = (*source)->ctSeed;
  (*destination)->ctSize = SInt16(copied - 1);
  (*destination)->ctFlags = (*source)->ctFlags;
}

void DisposeLookupTable(void* table) {
  auto* t = static_cast<Ptr*>(table);
  if (*t) QKDisposePtr(*t);
  *t = nullptr;
}

void ResetLookupTable(void* table) {
  Ptr t = *static_cast<Ptr*>(table);
  if (!t) return;
  if (APPL.buildDepth == 8) {
    for (SInt32 i = 0; i < kLookupEntries8; i++) reinterpret_cast<UInt8*>(t)[i] = UInt8(i);
  } else if (APPL.buildDepth == 16) {
    auto* entries = reinterpret_cast<UInt16*>(t);
    for (SInt32 i = 0; i < kPixels16; i++) entries[i] = UInt16(i);
    MirrorUpperHalf(entries);
  }
}

void NewLookupTable(void* table) {
  DisposeLookupTable(table);
  SInt32 bytes = LookupBytes();
  if (!bytes) return;
  Ptr block = QKNewPtrClear(bytes);
  if (!block) {
    ErrorDialog("Sorry, a memory error has occured.", "NewLookupTable()", 0, 1);
    return;
  }
  *static_cast<Ptr*>(table) = block;
  ResetLookupTable(table);
}

void CopyLookupTable(void* source, void* destination) {
  if (source && destination && source != destination) std::memcpy(destination, source, size_t(LookupBytes()));
}

void LoadLookupTable16(UInt16** table, const unsigned char* name) {
  std::string text(reinterpret_cast<const char*>(name + 1), name[0]);
  std::FILE* file = OpenRegularFileForReading(ResourceFilePath(text.c_str(), ".tabl"));
  static UInt8 bytes[kPixels16 * 2];
  bool whole = file && std::fread(bytes, 1, sizeof bytes, file) == sizeof bytes;
  if (file) std::fclose(file);
  if (!whole) {
    SetResError(resNotFound);
    ErrorDialog("LoadLookupTable16()", text.c_str(), 0, 1);
    return;
  }
  NewLookupTable(table);
  if (!*table || APPL.buildDepth != 16) return;
  for (SInt32 i = 0; i < kPixels16; i++) (*table)[i] = UInt16((bytes[2 * i] << 8) | bytes[2 * i + 1]);
  MirrorUpperHalf(*table);
}

SInt32 LoadLookupTable_PNG(UInt16** table, const char* name) {
  PushPort();
  GWorldPtr world = nullptr;
  Rect bounds{0, 0, 128, 256};
  if (NewGWorld(&world, 16, &bounds, nullptr, nullptr, 0) != noErr) {
    PopPort();
    return -1;
  }
  PixMapHandle pm = GetGWorldPixMap(world);
  Rect drawn = PlacePNG_Point(ResourceFilePath(name, ".png").c_str(), pm, 0, 0, nullptr);
  if (drawn.bottom <= drawn.top || drawn.right <= drawn.left) {
    PopPort();
    DisposeGWorld(world);
    return -1;
  }
  SetGWorld(world, nullptr);
  if (!*table) NewLookupTable(table);
  if (*table && APPL.buildDepth == 16) {
    for (SInt32 i = 0; i < kPixels16; i++) {
      RGBColor c;
      GetCPixel(SInt16(i % 256), SInt16(i / 256), &c);
      (*table)[i] = Pack16(c);
    }
    MirrorUpperHalf(*table);
  }
  PopPort();
  DisposeGWorld(world);
  return 0;
}

void IndexToRGB_16(int pixel, RGBColor& colour) {
  auto expand = [](UInt32 v) { return UInt16(v * 2114 + (v >> 4)); };
  colour = {expand((UInt32(pixel) >> 10) & 31), expand((UInt32(pixel) >> 5) & 31), expand(UInt32(pixel) & 31)};
}

void MakeHueTable(void* table, UInt16 hue, SInt32 satScale, SInt32 valScale) {
  ShiftEntries(table, [&](HSVColor& c) {
    c.hue = hue;
    c.saturation = Scaled(c.saturation, satScale);
    c.value = Scaled(c.value, valScale);
  });
}

void MakeHueTable2(unsigned char* table, UInt16 hue) {
  if (APPL.buildDepth != 8) return;
  ShiftEntries(table, [&](HSVColor& c) { c.hue = hue; });
}

void MakeHueTable3(void* table, UInt16 hue, UInt16 sat, SInt32 valScale, char percent) {
  auto toward = [&](UInt16 from, UInt16 to) { return Clamp16(from + SInt64(percent) * (SInt32(to) - from) / 100); };
  ShiftEntries(table, [&](HSVColor& c) {
    HSVColor target{hue, sat, Scaled(c.value, valScale)};
    if (APPL.buildDepth == 8) {
      c = target;
      return;
    }
    c = {toward(c.hue, target.hue), toward(c.saturation, target.saturation), toward(c.value, target.value)};
  });
}

void MakeSatTable(unsigned char* table, UInt16 satScale) {
  if (APPL.buildDepth != 8) return;
  ShiftEntries(table, [&](HSVColor& c) { c.saturation = Scaled(c.saturation, satScale); });
}

void BrightenTable(unsigned char* table, UInt16 amount) {
  ShiftPresent8(table, [&](RGBColor& c) {
    HSLColor hsl;
    RGB2HSL(&c, &hsl);
    hsl.lightness = Clamp16(SInt32(hsl.lightness) + amount);
    hsl.saturation = 65535;
    HSL2RGB(&hsl, &c);
  });
}

void SetTableBrightness(unsigned char* table, float brightness) {
  ShiftPresent8(table, [&](RGBColor& c) {
    HSVColor hsv;
    RGB2HSV(&c, &hsv);
    float value = float(hsv.value) * brightness;
    hsv.value = value < 0 ? 0 : value > 65535.0f ? 65535 : UInt16(value);
    if (brightness > 0) {
      float sat = float(hsv.saturation) / brightness;
      hsv.saturation = sat > 65535.0f ? 65535 : UInt16(sat);
    }
    HSV2RGB(&hsv, &c);
  });
}
