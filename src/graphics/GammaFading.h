// Fading the whole display through its gamma (transfer) tables: to a table,
// to a colour, and through 49 brightness levels from black (0) over normal
// (24) to white (48). The display is touched only while the game is in full
// screen; in a window the tables are only recorded. Fades block, one step a
// tick, each step timed from its own start.
#pragma once

#include "platform/QuickDraw.h"

enum { kGammaEntries = 256, kBrightLevels = 49, kNormalBright = 24, kMaxBright = 48 };

// Output intensities 0 to 1 of each input level, red, green then blue;
// held in a handle of exactly 3,072 bytes.
struct GammaTable {
  float red[kGammaEntries];
  float green[kGammaEntries];
  float blue[kGammaEntries];
};
typedef GammaTable** GammaHandle;

extern GammaHandle origGAMMA;
extern GammaHandle currentGAMMA;
extern GammaHandle fadeGAMMA;
extern GammaHandle tempGAMMA;
extern float curGamma[3][kGammaEntries];
extern UInt32 curGammaCount;
extern GammaHandle curResGAMMA;
extern GammaHandle brightGAMMA[kBrightLevels];
extern SInt8 mainBRIGHT;
extern UInt8 gammaFadingINITED;

void InitFading();
void DisposeFading();
void NewGTable(GammaHandle* table);
void CopyGTable(GammaHandle source, GammaHandle destination);
GammaHandle GetOrigGTable();
void GetGammaTable(GammaHandle destination, GDHandle device);
OSErr GetDeviceGammaTable(GammaHandle table, GDHandle device);
SInt32 SetDeviceGammaTable(GammaHandle table, GDHandle device);
void FadeGammaTable(GammaHandle target, SInt16 steps, GDHandle device = nullptr);
void SetGammaTable(GammaHandle table, GDHandle device = nullptr);
void FadeGammaColor(const RGBColor* colour, SInt16 steps, GDHandle device = nullptr);
void SetGammaColor(const RGBColor* colour, GDHandle device = nullptr);
void FadeGammaTable_Step(GammaHandle from, GammaHandle to, SInt16 step, SInt16 steps, GDHandle device = nullptr);
void BuildGTable(GammaHandle table, const RGBColor* colour, float brightness, float contrast);
void InterpolateFloats(const float* source, float* destination, SInt32 sourceCount, SInt32 destinationCount);
void BuildBrightGammas(GammaHandle normal);

void SetBright(SInt16 level);
void SetFastBright(SInt16 level);
void MinBright();
void NormBright_Displays();
void MaxBright();
void FadeIn();
void FadeOut();
void WhiteIn();
void WhiteOut();
void Brighter();
void Darker();
void PrepAnimation();
void StopAnimation();
