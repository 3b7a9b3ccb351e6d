#include "graphics/GammaFading.h"

#include <cmath>
#include <cstring>

#include "foundation/Clock.h"
#include "foundation/ErrorDialog.h"
#include "foundation/Memory.h"
#include "graphics/ClutFading.h"
#include "graphics/Display.h"
#include "graphics/OpenGLFrame.h"
#include "platform/DisplayServices.h"
#include "shell/ApplInfo.h"
#include "shell/Startup.h"

GammaHandle origGAMMA;
GammaHandle currentGAMMA;
GammaHandle fadeGAMMA;
GammaHandle tempGAMMA;
float curGamma[3][kGammaEntries];
UInt32 curGammaCount;
GammaHandle curResGAMMA;
GammaHandle brightGAMMA[kBrightLevels];
SInt8 mainBRIGHT = kNormalBright;
UInt8 gammaFadingINITED;

namespace {

static_assert(sizeof(GammaTable) == 3072);
const SInt32 kGammaFloats = 3 * kGammaEntries;
const RGBColor kBlack{0, 0, 0};
// The last table set was seen: the game is in full screen and its window
// showed it. Fades wait between their steps only while this holds.
bool lastSetShown;

float* Floats(GammaHandle table) { return (*table)->red; }

GammaHandle NewClearTable() {
  auto table = reinterpret_cast<GammaHandle>(QKNewHandleClear(sizeof(GammaTable)));
  if (!table) return nullptr;
  QKHNoPurge(reinterpret_cast<Handle>(table));
  QKMoveHHi(reinterpret_cast<Handle>(table));
  QKHLock(reinterpret_cast<Handle>(table));
  return table;
}

void DisposeTable(GammaHandle* table) {
  if (*table) QKDisposeHandle(reinterpret_cast<Handle>(*table));
  *table = nullptr;
}

DisplayID DisplayOf(GDHandle device) { return DeviceToDisplay(device ? device : mainDEVICE); }

// Levels outside the prepared tables are held at the nearest one.
SInt16 BoundLevel(SInt32 level) { return SInt16(level < 0 ? 0 : level > kMaxBright ? kMaxBright : level); }

void WaitAfter(SInt16 ticks) {
  StartTicks();
  WaitTicks(ticks);
}

// The table of a level: a colour table on an indexed screen, else a gamma
// table. There is no menu bar to redraw after a colour-table change.
void ShowLevel(SInt16 level) {
  if (IndexedScreen())
    SetScreenTable(brightCLUT[level]);
  else
    SetGammaTable(brightGAMMA[level]);
}

void SetLevel(SInt32 level, bool wait) {
  mainBRIGHT = SInt8(BoundLevel(level));
  ShowLevel(mainBRIGHT);
  if (wait) WaitAfter(2);
}

void Alert(const char* message, const char* detail) { AlertDialog(message, detail, "OK"); }

// A start-up that failed never read the display's table, so there is
// nothing to put back: the tables are only freed.
void DisposeGammaTables() {
  DisposeTable(&currentGAMMA);
  DisposeTable(&fadeGAMMA);
  DisposeTable(&tempGAMMA);
  DisposeTable(&origGAMMA);
  gammaFadingINITED = 0;
}

}  // namespace

void InitFading() {
  InitClutFading();
  if (InitDisplays(mainDISPLAY) != 0) {
    Alert("Unable to initialize the monitor.  Gamma fading will not be available.", "");
    return;
  }
  GDHandle main = mainDEVICE;
  if (!TestDeviceAttribute(main, screenDevice) || TestDeviceAttribute(main, noDriver)) {
    Alert("Unable to set the gamma of the monitor.  Gamma fading will not be available.", "");
    return;
  }
  currentGAMMA = NewClearTable();
  fadeGAMMA = NewClearTable();
  tempGAMMA = NewClearTable();
  origGAMMA = NewClearTable();
  gammaFadingINITED = 1;
  if (!currentGAMMA || !fadeGAMMA || !tempGAMMA || !origGAMMA) {
    Alert("Could not get the monitor's gamma table.", "");
    DisposeGammaTables();
    return;
  }
  if (APPL.gameWindow) {
    DisplayServices* services = GetDisplayServices();
    UInt32 count = 0;
    if (services->GetTransfer(DisplayOf(main), kGammaEntries, curGamma[0], curGamma[1], curGamma[2], &count) != 0) {
      Alert("Could not get the monitor's gamma table.", "");
      DisposeGammaTables();
      return;
    }
    curGammaCount = count;
  }
  OSErr err = GetDeviceGammaTable(currentGAMMA, main);
  if (err) {
    AlertDialog("Could not get the monitor's gamma table.", SInt32(err), "OK");
    DisposeGammaTables();
    return;
  }
  CopyGTable(currentGAMMA, fadeGAMMA);
  CopyGTable(currentGAMMA, tempGAMMA);
  CopyGTable(currentGAMMA, origGAMMA);
}

void DisposeFading() {
  DisposeClutFading();
  if (!gammaFadingINITED) return;
  if (APPL.gameWindow) SetGammaTable(origGAMMA, nullptr);
  DisposeGammaTables();
}

void NewGTable(GammaHandle* table) {
  if (!gammaFadingINITED) return;
  *table = NewClearTable();
  if (*table) CopyGTable(origGAMMA, *table);
}

void CopyGTable(GammaHandle source, GammaHandle destination) {
  if (!source) source = origGAMMA;
  if (!source || !destination || source == destination) return;
  std::memcpy(*destination, *source, sizeof(GammaTable));
}

GammaHandle GetOrigGTable() { return origGAMMA; }

void GetGammaTable(GammaHandle destination, GDHandle) {
  if (gammaFadingINITED) CopyGTable(currentGAMMA, destination);
}

OSErr GetDeviceGammaTable(GammaHandle table, GDHandle) {
  if (!gammaFadingINITED) return -1;
  if (!table) return noErr;
  float* channels[3] = {(*table)->red, (*table)->green, (*table)->blue};
  for (int c = 0; c < 3; c++) {
    if (curGammaCount == kGammaEntries)
      std::memcpy(channels[c], curGamma[c], sizeof curGamma[c]);
    else
      InterpolateFloats(curGamma[c], channels[c], SInt32(curGammaCount), kGammaEntries);
  }
  return noErr;
}

SInt32 SetDeviceGammaTable(GammaHandle table, GDHandle device) {
  if (!gammaFadingINITED) return -1;
  if (!table) return paramErr;
  std::memcpy(curGamma, *table, sizeof curGamma);
  curGammaCount = kGammaEntries;
  if (IsFullScreen()) {
    const GammaTable& t = **table;
    SInt32 result = GetDisplayServices()->SetTransfer(DisplayOf(device), kGammaEntries, t.red, t.green, t.blue);
    lastSetShown = result == 0;
    if (lastSetShown) ShowGammaOverPicture(t.red, t.green, t.blue);
    return result;
  }
  lastSetShown = false;
  CopyGTable(table, currentGAMMA);
  return 0;
}

// Deltas are taken only for a fade of at least one step; a fade of 0 steps
// applies nothing but still records the target. A null target is the
// start-up table, as for CopyGTable.
void FadeGammaTable(GammaHandle target, SInt16 steps, GDHandle device) {
  if (!gammaFadingINITED) return;
  CopyGTable(target, tempGAMMA);
  GetDeviceGammaTable(fadeGAMMA, device);
  if (steps != 0) {
    float delta[kGammaFloats];
    float* fade = Floats(fadeGAMMA);
    const float* goal = Floats(tempGAMMA);
    for (SInt32 i = 0; i < kGammaFloats; i++) delta[i] = (goal[i] - fade[i]) / float(steps);
    // Steps nobody sees are not waited for: in a window, or in full screen
    // before (or after) there is a window to show them, the fade ends at
    // once on its target.
    for (SInt16 step = 1; step < steps && IsFullScreen(); step++) {
      StartTicks();
      for (SInt32 i = 0; i < kGammaFloats; i++) fade[i] += delta[i];
      SetDeviceGammaTable(fadeGAMMA, device);
      if (!lastSetShown) break;
      WaitTicks(1);
    }
    SetDeviceGammaTable(tempGAMMA, device);
  }
  CopyGTable(tempGAMMA, currentGAMMA);
}

void SetGammaTable(GammaHandle table, GDHandle device) { FadeGammaTable(table, 1, device); }

void FadeGammaColor(const RGBColor* colour, SInt16 steps, GDHandle device) {
  if (!gammaFadingINITED) return;
  const RGBColor& c = colour ? *colour : kBlack;
  for (SInt32 i = 0; i < kGammaEntries; i++) {
    (*fadeGAMMA)->red[i] = float(c.red) / 65535.0f;
    (*fadeGAMMA)->green[i] = float(c.green) / 65535.0f;
    (*fadeGAMMA)->blue[i] = float(c.blue) / 65535.0f;
  }
  FadeGammaTable(fadeGAMMA, steps, device);
}

void SetGammaColor(const RGBColor* colour, GDHandle device) { FadeGammaColor(colour, 1, device); }

void FadeGammaTable_Step(GammaHandle from, GammaHandle to, SInt16 step, SInt16 steps, GDHandle device) {
  if (!gammaFadingINITED) return;
  if (steps != 0 && from && to) {
    float* fade = Floats(fadeGAMMA);
    const float* a = Floats(from);
    const float* b = Floats(to);
    for (SInt32 i = 0; i < kGammaFloats; i++) fade[i] = (b[i] - a[i]) * float(step) / float(steps) + a[i];
    SetDeviceGammaTable(fadeGAMMA, device);
  }
  CopyGTable(fadeGAMMA, currentGAMMA);
}

void BuildGTable(GammaHandle table, const RGBColor* colour, float brightness, float contrast) {
  if (!table) return;
  const RGBColor white{65535, 65535, 65535};
  const RGBColor& c = colour ? *colour : white;
  brightness = brightness < 0 ? 0 : brightness > 1 ? 1 : brightness;
  contrast = contrast < 0 ? 0 : contrast > 1 ? 1 : contrast;
  float offset = brightness * (1 - contrast) / 2;
  const UInt16 components[3] = {c.red, c.green, c.blue};
  for (int ch = 0; ch < 3; ch++) {
    float k = (float(components[ch]) / 65535.0f) * brightness * contrast;
    float* entries = Floats(table) + ch * kGammaEntries;
    for (SInt32 i = 0; i < kGammaEntries; i++) entries[i] = float(i) * k / 255.0f + offset;
  }
}

// Both neighbours of a sample are held inside the source, and a single
// destination entry takes the first source entry.
void InterpolateFloats(const float* source, float* destination, SInt32 sourceCount, SInt32 destinationCount) {
  if (source == destination || destinationCount < 1) return;
  if (sourceCount < 1) {
    for (SInt32 i = 0; i < destinationCount; i++) destination[i] = 0;
  } else if (sourceCount == destinationCount) {
    std::memmove(destination, source, size_t(sourceCount) * sizeof(float));
  } else if (destinationCount == 1) {
    destination[0] = source[0];
  } else {
    float step = float(sourceCount - 1) / float(destinationCount - 1);
    for (SInt32 i = 0; i < destinationCount; i++) {
      float x = float(i) * step;
      SInt32 lo = std::min(SInt32(std::floor(x)), sourceCount - 1);
      SInt32 hi = std::min(SInt32(std::ceil(x)), sourceCount - 1);
      destination[i] = source[lo] + (source[hi] - source[lo]) * (x - float(lo));
    }
  }
}

void BuildBrightGammas(GammaHandle normal) {
  if (!gammaFadingINITED) return;
  for (SInt32 level = 0; level < kBrightLevels; level++) {
    DisposeTable(&brightGAMMA[level]);
    NewGTable(&brightGAMMA[level]);
    if (!brightGAMMA[level]) {
      ErrorDialog("Sorry, a memory error has occured.", "build bright gamma tables", 0, 1);
      return;
    }
  }
  GammaHandle base = normal ? normal : curResGAMMA ? curResGAMMA : origGAMMA;
  CopyGTable(base, brightGAMMA[kNormalBright]);
  const float* n = Floats(brightGAMMA[kNormalBright]);
  for (SInt32 level = 0; level < kBrightLevels; level++) {
    if (level == kNormalBright) continue;
    float* t = Floats(brightGAMMA[level]);
    for (SInt32 i = 0; i < kGammaFloats; i++) {
      if (level == 0)
        t[i] = 0.0f;
      else if (level == kMaxBright)
        t[i] = 1.0f;
      else if (level < kNormalBright)
        t[i] = n[i] * float(level) / 24.0f;
      else
        t[i] = 1.0f + (1.0f - n[i]) * float(kMaxBright - level) / -24.0f;
    }
  }
}

void SetBright(SInt16 level) { SetLevel(level, true); }

void SetFastBright(SInt16 level) { SetLevel(level, false); }

void MinBright() {
  mainBRIGHT = 0;
  if (IndexedScreen())
    SetScreenColor(&kBlack);
  else
    SetGammaColor(&kBlack);
  WaitAfter(2);
}

void NormBright_Displays() {
  if (!IndexedScreen()) {
    SetLevel(kNormalBright, true);
    return;
  }
  mainBRIGHT = kNormalBright;
  SetScreenTable(mainCLUT);
  WaitAfter(2);
}

void MaxBright() { SetLevel(kMaxBright, true); }

void FadeIn() {
  mainBRIGHT = kNormalBright;
  if (IndexedScreen())
    FadeScreenTable(mainCLUT, 24);
  else
    FadeGammaTable(brightGAMMA[kNormalBright], 24);
}

void FadeOut() {
  mainBRIGHT = 0;
  if (IndexedScreen())
    FadeScreenColor(&kBlack, 24);
  else
    FadeGammaColor(&kBlack, 24);
}

// Each level shows for one tick (when it can be seen); the recorded level
// ends on the one shown.
void WhiteIn() {
  for (SInt16 level = kMaxBright; level >= kNormalBright; level--) {
    StartTicks();
    mainBRIGHT = SInt8(level);
    ShowLevel(level);
    if (lastSetShown || IndexedScreen()) WaitTicks(1);
  }
}

void WhiteOut() {
  for (SInt16 level = kNormalBright; level <= kMaxBright; level++) {
    StartTicks();
    mainBRIGHT = SInt8(level);
    ShowLevel(level);
    if (lastSetShown || IndexedScreen()) WaitTicks(1);
  }
}

void Brighter() {
  if (mainBRIGHT <= kMaxBright - 1) SetLevel(BoundLevel(mainBRIGHT) + 1, false);
}

void Darker() {
  if (mainBRIGHT >= 1) SetLevel(BoundLevel(mainBRIGHT) - 1, false);
}

void PrepAnimation() {
  QKEL[kQKELNormBright] = NormBright_Displays;
  InitFading();
}

void StopAnimation() { DisposeFading(); }
