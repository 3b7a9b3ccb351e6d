#include "graphics/ClutFading.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "foundation/Clock.h"
#include "foundation/ErrorDialog.h"
#include "foundation/StringFunctions.h"
#include "graphics/ColorTables.h"
#include "graphics/Display.h"
#include "graphics/GameWindow.h"
#include "graphics/PixMapRegistry.h"
#include "graphics/Ports.h"
#include "platform/DisplayServices.h"
#include "shell/ApplInfo.h"
#include "shell/Startup.h"

CTabHandle currentCLUT;
CTabHandle fadeCLUT;
CTabHandle tempCLUT;
CTabHandle origCLUT;
UInt8 clutFadingINITED;
CTabHandle mainCLUT;
PaletteHandle mainPLTT;
SInt32 clutSEED;
CTabHandle brightCLUT[kBrightLevels];
Ptr brightTABLE[kBrightLevels];
CTabHandle oldAnimCLUT[4];

namespace {

const char* const kMemoryError = "Sorry, a memory error has occured.";

// A whole-record copy: entries, size, seed and flags.
void CopyWhole(CTabHandle source, CTabHandle destination) {
  if (source && destination && source != destination) std::memcpy(*destination, *source, sizeof(ColorTable));
}

CTabHandle Duplicate(CTabHandle source) {
  if (!source) return nullptr;
  CTabHandle copy = NewColorTable(SInt16((*source)->ctSize + 1));
  CopyWhole(source, copy);
  return copy;
}

CTabHandle DeviceTable(GDHandle device) {
  return device && (*device)->gdPMap ? (*(*device)->gdPMap)->pmTable : nullptr;
}

// The world the game picture is built in.
GWorldPtr BuildWorld() { return buildPMAP ? GetPixMapGWorld(buildPMAP) : nullptr; }

// One channel of a transfer table that takes each colour of `from` to the
// same colour of `to`: the component pairs sorted by their input level,
// joined by straight lines and held flat past the ends.
void ChannelRamp(CTabHandle from, CTabHandle to, UInt16 RGBColor::*channel, float* ramp) {
  std::vector<std::pair<float, float>> points;
  SInt32 count = std::min((*from)->ctSize, (*to)->ctSize) + 1;
  for (SInt32 i = 0; i < count; i++)
    points.push_back(
        {float((*from)->ctTable[i].rgb.*channel) / 65535.0f, float((*to)->ctTable[i].rgb.*channel) / 65535.0f});
  std::sort(points.begin(), points.end());
  for (SInt32 j = 0; j < SInt32(kGammaTableEntries); j++) {
    float x = float(j) / 255.0f;
    auto hi = std::lower_bound(points.begin(), points.end(), std::make_pair(x, -1.0f));
    if (hi == points.end())
      ramp[j] = points.back().second;
    else if (hi == points.begin() || hi->first == x)
      ramp[j] = hi->second;
    else {
      auto lo = hi - 1;
      ramp[j] = lo->second + (hi->second - lo->second) * (x - lo->first) / (hi->first - lo->first);
    }
  }
}

// Shows `table` on an indexed display in full screen: the display's own
// table stays as it is and its transfer tables carry the change.
void ShowOnDisplay(CTabHandle table, GDHandle device) {
  float red[kGammaTableEntries], green[kGammaTableEntries], blue[kGammaTableEntries];
  ChannelRamp(origCLUT, table, &RGBColor::red, red);
  ChannelRamp(origCLUT, table, &RGBColor::green, green);
  ChannelRamp(origCLUT, table, &RGBColor::blue, blue);
  GetDisplayServices()->SetTransfer(DeviceToDisplay(device), kGammaTableEntries, red, green, blue);
}

// Shows a step of a fade: through the display in full screen, else by
// recording it as the screen table and presenting the picture.
void ShowStep(CTabHandle table, GDHandle device) {
  if (IsFullScreen()) {
    ShowOnDisplay(table, device);
    return;
  }
  CopyWhole(table, currentCLUT);
  if (APPL.gameWindow) FlushToScreen(nullptr);
}

void NewLevelTable(SInt32 level, CTabHandle table, const char* where) {
  DisposeCTable(brightCLUT[level]);
  brightCLUT[level] = table;
  if (!table) ErrorDialog(kMemoryError, where, 0, 1);
}

CTabHandle LoadLevelTable(SInt16 id) { return id == -1 ? Duplicate(oldAnimCLUT[0]) : GetColorTable(id); }

// The lookup table of a level: each colour of the level's table mapped to
// the nearest index of the current port's table.
void FillLevelLookup(SInt32 level) {
  NewLookupTable(&brightTABLE[level]);
  if (!brightTABLE[level] || APPL.buildDepth != 8) return;
  CTabHandle table = brightCLUT[level];
  for (SInt32 i = 0; i < 256; i++) {
    RGBColor c = i <= (*table)->ctSize ? (*table)->ctTable[i].rgb : RGBColor{0, 0, 0};
    reinterpret_cast<UInt8*>(brightTABLE[level])[i] = UInt8(Color2Index(&c));
  }
}

void CopyColour(CTabHandle from, SInt16 fromIndex, CTabHandle to, SInt32 toIndex) {
  if (fromIndex < 0 || fromIndex > (*from)->ctSize || toIndex < 0 || toIndex > (*to)->ctSize) return;
  (*to)->ctTable[toIndex].rgb = (*from)->ctTable[fromIndex].rgb;
}

}  // namespace

bool IndexedScreen() {
  SInt16 depth = GetMonitorMode(nullptr, nullptr, nullptr);
  return depth > 0 && depth <= 8;
}

void InitClutFading() {
  if (clutFadingINITED) return;
  for (CTabHandle* table : {&currentCLUT, &fadeCLUT, &tempCLUT, &origCLUT}) NewCTable(table);
  // Without a screen the tables keep the standard colours; the gamma half
  // then reports the missing monitor.
  if (mainDEVICE) CopyWhole(GetOrigCTable(), origCLUT);
  CopyWhole(origCLUT, currentCLUT);
  clutFadingINITED = 1;
}

void DisposeClutFading() {
  if (!clutFadingINITED) return;
  for (CTabHandle* table : {&currentCLUT, &fadeCLUT, &tempCLUT, &origCLUT}) {
    DisposeCTable(*table);
    *table = nullptr;
  }
  clutFadingINITED = 0;
}

CTabHandle GetOrigCTable() {
  if (!mainDEVICE) {
    ErrorDialog("mainDEVICE is nil.", "GetOrigCTable()", 0, 1);
    return nullptr;
  }
  if ((*mainDEVICE)->gdType == directType) return origCLUT;
  return DeviceTable(mainDEVICE);
}

void GetScreenTable(CTabHandle destination, GDHandle) { CopyWhole(currentCLUT, destination); }

void FadeScreenTable(CTabHandle target, SInt16 steps, GDHandle device) {
  if (!clutFadingINITED || !target) return;
  if (!device) device = mainDEVICE;
  if (!device || (*device)->gdType == directType) {
    CopyWhole(target, currentCLUT);
    return;
  }
  CGrafPtr port;
  GDHandle previous;
  GetGWorld(&port, &previous);
  SetGWorld(port, device);
  CopyWhole(DeviceTable(device), origCLUT);
  CopyWhole(target, tempCLUT);
  CopyWhole(currentCLUT, fadeCLUT);
  if (steps >= 2) {
    SInt32 count = (*currentCLUT)->ctSize + 1;
    std::vector<SInt32> delta(size_t(count) * 3);
    for (SInt32 i = 0; i < count; i++) {
      const RGBColor& from = (*currentCLUT)->ctTable[i].rgb;
      const RGBColor& to = (*tempCLUT)->ctTable[i].rgb;
      delta[3 * i] = (SInt32(to.red) - from.red) / steps;
      delta[3 * i + 1] = (SInt32(to.green) - from.green) / steps;
      delta[3 * i + 2] = (SInt32(to.blue) - from.blue) / steps;
    }
    for (SInt16 step = 1; step < steps; step++) {
      StartTicks();
      for (SInt32 i = 0; i < count; i++) {
        RGBColor& c = (*fadeCLUT)->ctTable[i].rgb;
        c.red = UInt16(c.red + delta[3 * i]);
        c.green = UInt16(c.green + delta[3 * i + 1]);
        c.blue = UInt16(c.blue + delta[3 * i + 2]);
      }
      ShowStep(fadeCLUT, device);
      WaitTicks(1);
    }
  }
  if (steps >= 1) ShowStep(tempCLUT, device);
  CopyWhole(tempCLUT, currentCLUT);
  CTabHandle deviceTable = DeviceTable(device);
  if (deviceTable)
    for (SInt32 i = 0; i <= (*fadeCLUT)->ctSize && i <= (*deviceTable)->ctSize; i++)
      (*deviceTable)->ctTable[i] = (*origCLUT)->ctTable[i];
  SetGWorld(port, previous);
}

void SetScreenTable(CTabHandle table, GDHandle device) { FadeScreenTable(table, 1, device); }

void FadeScreenColor(const RGBColor* colour, SInt16 steps, GDHandle device) {
  if (!clutFadingINITED) return;
  if (!fadeCLUT) {
    ErrorDialog("FadeScreenColor():  fadeCLUT is nil.", "", 0, 1);
    return;
  }
  if ((*fadeCLUT)->ctSize != 255) {
    ErrorDialog("FadeScreenColor():  fadeCLUT.ctSize is invalid.", SInt16((*fadeCLUT)->ctSize), 0, 1);
    return;
  }
  const RGBColor black{0, 0, 0};
  for (SInt32 i = 0; i < 256; i++) (*fadeCLUT)->ctTable[i].rgb = colour ? *colour : black;
  FadeScreenTable(fadeCLUT, steps, device);
}

void SetScreenColor(const RGBColor* colour, GDHandle device) { FadeScreenColor(colour, 1, device); }

SInt16 FadeScreenTable_Step(CTabHandle, CTabHandle, SInt16 step, SInt16, GDHandle) { return step; }

void SetScreenClut(SInt16 id) {
  if (id != -1) {
    DisposeCTable(mainCLUT);
    mainCLUT = nullptr;
  }
  DisposePalette(mainPLTT);
  mainPLTT = nullptr;
  if (id != -1) LoadCTable(&mainCLUT, id);
  if (!mainCLUT) {
    std::string detail = "CLUT    #" + std::to_string(id);
    ErrorDialog("Failed to load the CLUT.", detail.c_str(), 0, 1);
    return;
  }
  mainPLTT = NewPalette(256, mainCLUT, pmExplicit, 0);
  if (!mainPLTT) {
    ErrorDialog(kMemoryError, "NewPalette()", 0, 1);
    return;
  }
  if (APPL.buildDepth < 8) ResetGWorldClut(BuildWorld());
  FadeScreenTable(mainCLUT, 0, nullptr);
  if (APPL.gameWindow) {
    CTabHandle screen = GetOrigCTable();
    if (screen) clutSEED = (*screen)->ctSeed;
  }
}

void ChangeScreenClut(SInt16 id, UInt8 bright) {
  GetMonitorMode(nullptr, nullptr, nullptr);
  PushPort();
  SetScreenClut(id);
  if (bright) BuildBrightCluts(id);
  PopPort();
}

void BuildDarkFader(SInt16 id) {
  for (SInt32 level = 0; level <= kNormalBright; level++) {
    NewLevelTable(level, id == -2 ? Duplicate(GetOrigCTable()) : LoadLevelTable(id), "BuildDarkFader()");
    if (!brightCLUT[level]) return;
    ColorTable& t = **brightCLUT[level];
    for (SInt32 i = 0; i <= t.ctSize; i++) {
      RGBColor& c = t.ctTable[i].rgb;
      auto dim = [level](UInt16 v) { return UInt16(v - (kNormalBright - level) * SInt32(v) / kNormalBright); };
      c = {dim(c.red), dim(c.green), dim(c.blue)};
    }
  }
  if (id == -2) return;
  for (SInt32 level = 0; level <= kNormalBright; level++) FillLevelLookup(level);
  ResetGWorldClut(BuildWorld());
}

void BuildBrightCluts(SInt16 id) {
  if (APPL.gameWindow && APPL.buildDepth > 8) return;
  PushPort();
  if (APPL.gameWindow && BuildWorld()) SetGWorld(BuildWorld(), nullptr);
  BuildDarkFader(id);
  for (SInt32 level = kNormalBright + 1; level <= kMaxBright; level++) {
    NewLevelTable(level, LoadLevelTable(id), "build bright cluts");
    if (!brightCLUT[level]) {
      PopPort();
      return;
    }
    ColorTable& t = **brightCLUT[level];
    for (SInt32 i = 0; i <= t.ctSize; i++) {
      RGBColor& c = t.ctTable[i].rgb;
      auto lift = [level](UInt16 v) {
        return level == kMaxBright ? UInt16(65535)
                                   : UInt16(v + (level - kNormalBright) * (65536 - SInt32(v)) / kNormalBright);
      };
      c = {lift(c.red), lift(c.green), lift(c.blue)};
    }
  }
  // Every entry of the bright levels is mapped, as for the dark ones.
  for (SInt32 level = kNormalBright + 1; level <= kMaxBright; level++) FillLevelLookup(level);
  if (!mainPLTT) {
    PopPort();
    ErrorDialog("Program Error:  SetScreenClut() must be called once before BuildBrightCluts().", "", 0, 1);
    return;
  }
  ResetGWorldClut(BuildWorld());
  CTabHandle screen = GetOrigCTable();
  if (screen) clutSEED = (*screen)->ctSeed;
  PopPort();
}

void CycleEntries(SInt16 a, SInt16 b, SInt16 c, SInt16 d, SInt16 start, SInt16) {
  if (!mainCLUT) return;
  for (CTabHandle table : oldAnimCLUT)
    if (!table) return;
  const SInt16 order[4][4] = {{a, b, c, d}, {d, a, b, c}, {c, d, a, b}, {b, c, d, a}};
  for (SInt32 t = 0; t < 4; t++)
    for (SInt32 k = 0; k < 4; k++) CopyColour(mainCLUT, order[t][k], oldAnimCLUT[t], start + k);
}

void SetWindowClut(SInt16 id, WindowRef window) {
  CTabHandle table = GetColorTable(id);
  if (!table) {
    ErrorDialog("Clut not found!", "SetWindowClut()", 0, 1);
    return;
  }
  DisposePalette(mainPLTT);
  mainPLTT = NewPalette(256, table, pmExplicit | pmTolerant, 0);
  DisposeCTable(table);
  if (!mainPLTT) {
    ErrorDialog(kMemoryError, "SetWindowClut()", 0, 1);
    return;
  }
  if (!window) {
    ErrorDialog("The clut could not be set because the window was not initialized.", "SetWindowClut()", 0, 1);
    return;
  }
  SetPalette(window, mainPLTT, true);
}
