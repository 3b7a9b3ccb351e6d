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

extern GammaHandle origGAMMA;     // the display's table at start-up, put back at the end
extern GammaHandle currentGAMMA;  // the table last set (or faded to)
extern GammaHandle fadeGAMMA;     // working table of the fade in progress
extern GammaHandle tempGAMMA;     // working table: the fade's target
// The display's transfer table as last read or set, curGammaCount entries
// in each channel.
extern float curGamma[3][kGammaEntries];
extern UInt32 curGammaCount;
extern GammaHandle curResGAMMA;  // the normal table the bright levels build from, if set
extern GammaHandle brightGAMMA[kBrightLevels];
extern SInt8 mainBRIGHT;  // the brightness level last set
extern UInt8 gammaFadingINITED;

// Reads the main display's transfer table into the four working tables
// (also starts the colour-table fades). On failure an alert says so and
// gamma fading stays off: every call below then does nothing.
void InitFading();
// Puts the start-up table back (with a game window) and frees the tables.
void DisposeFading();
// A new table holding a copy of the start-up table; *table stays as it was
// while fading is off.
void NewGTable(GammaHandle* table);
// Copies a whole table; a null source is the start-up table. Copying a table
// onto itself, or to null, does nothing.
void CopyGTable(GammaHandle source, GammaHandle destination);
GammaHandle GetOrigGTable();
// Copies the table last set into `destination` (the device is ignored).
void GetGammaTable(GammaHandle destination, GDHandle device);
// Fills `table` from the display's recorded transfer table, resampled to 256
// entries; -1 while fading is off.
OSErr GetDeviceGammaTable(GammaHandle table, GDHandle device);
// Sets the display's transfer table: in full screen through the display
// services (their result is returned), in a window only recorded (0).
// paramErr for a null table, -1 while fading is off.
SInt32 SetDeviceGammaTable(GammaHandle table, GDHandle device);
// Fades from the display's table to `target` (null: the start-up table) in
// `steps` ticks, waiting only for steps that can be seen; 0 steps records the
// target without setting it.
void FadeGammaTable(GammaHandle target, SInt16 steps, GDHandle device = nullptr);
// Sets a table at once (a fade of one step).
void SetGammaTable(GammaHandle table, GDHandle device = nullptr);
// Fades to a flat table of one colour (null: black) in `steps` ticks.
void FadeGammaColor(const RGBColor* colour, SInt16 steps, GDHandle device = nullptr);
// Sets a flat table of one colour (null: black) at once.
void SetGammaColor(const RGBColor* colour, GDHandle device = nullptr);
// Sets the table `step` / `steps` of the way from `from` to `to`, without
// waiting: the caller runs the fade one step at a time.
void FadeGammaTable_Step(GammaHandle from, GammaHandle to, SInt16 step, SInt16 steps, GDHandle device = nullptr);
// A straight-line table tinted by `colour` (null: white), brightness and
// contrast from 0 to 1 (held there); contrast 0 is flat at half the
// brightness.
void BuildGTable(GammaHandle table, const RGBColor* colour, float brightness, float contrast);
// Resamples `sourceCount` floats to `destinationCount` linearly; no source
// gives zeros, and one array passed as both is left alone.
void InterpolateFloats(const float* source, float* destination, SInt32 sourceCount, SInt32 destinationCount);
// Builds the 49 level tables around `normal` (null: curResGAMMA, else the
// start-up table): level 0 is black, 24 is `normal`, 48 white, and the
// levels between scale evenly.
void BuildBrightGammas(GammaHandle normal);

// The brightness levels (0 black, 24 normal, 48 white; others are held at
// the nearest end), on a gamma table or, on an indexed screen, a colour
// table. SetBright waits two ticks after, SetFastBright does not.
void SetBright(SInt16 level);
void SetFastBright(SInt16 level);
// Black at once, then two ticks' wait.
void MinBright();
// The normal level (on an indexed screen the main colour table), then two
// ticks' wait; what NormBright does on this engine's displays.
void NormBright_Displays();
// White at once, then two ticks' wait.
void MaxBright();
// Fades from what shows to the normal level, or to black, in 24 ticks.
void FadeIn();
void FadeOut();
// Steps from white down to normal, or from normal up to white, one level a
// tick.
void WhiteIn();
void WhiteOut();
// One level up or down at once, stopping at white or black.
void Brighter();
void Darker();
// Installs NormBright_Displays as the engine's NormBright and starts fading;
// StopAnimation ends it again.
void PrepAnimation();
void StopAnimation();
