// Colour services of our drawing records: the standard colour tables and
// their seeds, index and colour conversion on the current port or device,
// HSV and HSL colours, palettes, and reading single pixels back.
#pragma once

#include "platform/QuickDraw.h"

// Hue, saturation and value or lightness, each 0 to 65535 (hue 65535 is a
// full turn).
struct HSVColor {
  UInt16 hue;
  UInt16 saturation;
  UInt16 value;
};
struct HSLColor {
  UInt16 hue;
  UInt16 saturation;
  UInt16 lightness;
};

void RGB2HSV(const RGBColor* rgb, HSVColor* hsv);
void HSV2RGB(const HSVColor* hsv, RGBColor* rgb);
void RGB2HSL(const RGBColor* rgb, HSLColor* hsl);
void HSL2RGB(const HSLColor* hsl, RGBColor* rgb);

// The built-in colour tables: 1, 2 and 4 are grey ramps of that depth, 8 the
// standard 256-colour table (a 6 x 6 x 6 cube, then red, green, blue and grey
// ramps, black last), 33, 34, 36 and 40 grey ramps of depth id - 32. Any
// other id gives null (and ResError -192). The caller disposes the table.
CTabHandle GetCTable(SInt16 id);
// A seed no table has had before.
SInt32 GetCTSeed();

// The colour table that index and colour conversions use: the current
// port's when it is indexed, else the current device's, else the standard
// 8-bit table.
CTabHandle CurrentColorTable();
void Index2Color(SInt32 index, RGBColor* colour);
// The nearest entry (squared distance; the first of equals wins).
SInt32 Color2Index(const RGBColor* colour);
// The nearest entry of a given table.
SInt32 NearestIndex(CTabHandle table, const RGBColor& colour);

// Loads `count` + 1 entries into the current device's colour table from
// entry `start`, and gives the table a new seed.
void SetEntries(SInt16 start, SInt16 count, const ColorSpec* entries);

// The colour of a pixel: 16-bit components by bit replication of 5-bit ones
// (v x 2114 + (v >> 4)), 8-bit ones as v x 257, indices through the
// pixmap's table. (0, 0, 0) outside the pixmap.
RGBColor PixelColor(PixMapHandle pm, SInt32 x, SInt32 y);
// The pixel at (h, v) of the current port in its own coordinates.
void GetCPixel(SInt16 h, SInt16 v, RGBColor* colour);
void SetCPixel(SInt16 h, SInt16 v, const RGBColor* colour);

// Palettes.
enum : SInt16 { pmCourteous = 0, pmTolerant = 2, pmAnimated = 4, pmExplicit = 8 };
struct ColorInfo {
  RGBColor ciRGB;
  SInt16 ciUsage;
  SInt16 ciTolerance;
};
struct Palette {
  SInt16 pmEntries;
  ColorInfo pmInfo[kMaxColorEntries];
};
typedef Palette** PaletteHandle;

// Null for a bad count (1 to 256) or when memory runs out.
PaletteHandle NewPalette(SInt16 entries, CTabHandle colours, SInt16 usage, SInt16 tolerance);
void DisposePalette(PaletteHandle palette);
void CTab2Palette(CTabHandle table, PaletteHandle palette, SInt16 usage, SInt16 tolerance);
// Copies the palette's colours into the table (as many as both hold).
void Palette2CTab(PaletteHandle palette, CTabHandle table);
// The palette of a window; kAppDefaultPalette stands for the application's
// default palette. The window does not own it.
extern const WindowRef kAppDefaultPalette;
void SetPalette(WindowRef window, PaletteHandle palette, Boolean update);
PaletteHandle GetPalette(WindowRef window);
// The palette attached to an offscreen world.
void SetPortPalette(CGrafPtr port, PaletteHandle palette);
PaletteHandle GetPortPalette(CGrafPtr port);

// Regions and points.
void SetPt(Point* pt, SInt16 h, SInt16 v);
Boolean PtInRgn(Point pt, RgnHandle region);

// The last resource lookup's error: 0, or -192 (resource not found).
enum : OSErr { resNotFound = -192 };
OSErr ResError();
void SetResError(OSErr err);
