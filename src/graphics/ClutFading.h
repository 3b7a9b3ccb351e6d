// Fading and brightening through colour tables, for pictures built at 8 bits
// a pixel or fewer: a screen table that fades move toward a target table or
// a colour, the game's own colour table and palette, 49 brightness tables
// (0 black, 24 normal, 48 white) each with a lookup table from the normal
// colours to the nearest brightened ones, and four colour-cycling tables.
// On a direct-colour screen a fade only records its target. On an indexed
// screen in full screen each step reaches the display through its transfer
// (gamma) tables; in a window each step is presented through the picture.
#pragma once

#include "graphics/GammaFading.h"
#include "platform/QuickDrawColor.h"

extern CTabHandle currentCLUT;
extern CTabHandle fadeCLUT;
extern CTabHandle tempCLUT;
extern CTabHandle origCLUT;
extern UInt8 clutFadingINITED;
extern CTabHandle mainCLUT;
extern PaletteHandle mainPLTT;
extern SInt32 clutSEED;
extern CTabHandle brightCLUT[kBrightLevels];
extern Ptr brightTABLE[kBrightLevels];
extern CTabHandle oldAnimCLUT[4];

// The colour-table halves of InitFading and DisposeFading.
void InitClutFading();
void DisposeClutFading();

CTabHandle GetOrigCTable();
void GetScreenTable(CTabHandle destination, GDHandle device);
void FadeScreenTable(CTabHandle target, SInt16 steps, GDHandle device = nullptr);
void SetScreenTable(CTabHandle table, GDHandle device = nullptr);
void FadeScreenColor(const RGBColor* colour, SInt16 steps, GDHandle device = nullptr);
void SetScreenColor(const RGBColor* colour, GDHandle device = nullptr);
SInt16 FadeScreenTable_Step(CTabHandle from, CTabHandle to, SInt16 step, SInt16 steps, GDHandle device = nullptr);
void SetScreenClut(SInt16 id);
void ChangeScreenClut(SInt16 id, UInt8 bright);
void BuildDarkFader(SInt16 id);
void BuildBrightCluts(SInt16 id);
void CycleEntries(SInt16 a, SInt16 b, SInt16 c, SInt16 d, SInt16 start, SInt16 spare);
void SetWindowClut(SInt16 id, WindowRef window);

// True when the main screen is indexed (8 bits a pixel or fewer), where the
// brightness levels are colour tables rather than gamma tables.
bool IndexedScreen();
