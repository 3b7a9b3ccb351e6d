// Colour tables and the lookup tables through which the software blitter
// recolours sprites: 256 colour indices at build depth 8, 65,536 1-5-5-5
// pixels at build depth 16 (the upper half repeats the lower, so a pixel
// with its top bit set reads the same entry as without). Hue, saturation
// and brightness shifts are worked out in HSV or HSL. Depths other than 8
// and 16 make the depth-dependent operations do nothing.
#pragma once

#include <string>

#include "platform/QuickDrawColor.h"

enum : SInt32 { kLookupEntries8 = 256, kLookupEntries16 = 65536, kPixels16 = 32768 };

void NewCTable(CTabHandle* table);
// Colour table `id`: one of the system's (GetCTable), else the
// application's own from "CLUT/<id>.clut" in the bundle's Resources, which
// holds a colour-table resource's bytes (big-endian seed, flags, entries
// less one, then value, red, green and blue for each entry). Null, with
// ResError -192, when there is neither or the file is not such a table.
CTabHandle GetColorTable(SInt16 id);
// The table of GetColorTable in place of *table's (disposed of first).
void LoadCTable(CTabHandle* table, SInt16 id);
// Copies as many entries as both tables hold; the destination's size
// becomes the number copied.
void CopyCTable(CTabHandle source, CTabHandle destination);

// The argument is the address of the table pointer.
void DisposeLookupTable(void* table);
void ResetLookupTable(void* table);
void NewLookupTable(void* table);
// Here the arguments are the tables themselves.
void CopyLookupTable(void* source, void* destination);
// Reads "<name>.tabl" from the bundle's Resources: 32,768 big-endian
// 16-bit entries. A missing file is fatal.
void LoadLookupTable16(UInt16** table, const unsigned char* name);
// Builds the 16-bit table from a 256 x 128 PNG image "<name>.png" in the
// bundle's Resources (a path with a '/' is taken as it is): entry i is the
// pixel at column i mod 256, row i / 256. 0, or -1 when nothing was drawn.
SInt32 LoadLookupTable_PNG(UInt16** table, const char* name);
void IndexToRGB_16(int pixel, RGBColor& colour);

void MakeHueTable(void* table, UInt16 hue, SInt32 satScale, SInt32 valScale);
void MakeHueTable2(unsigned char* table, UInt16 hue);
void MakeHueTable3(void* table, UInt16 hue, UInt16 sat, SInt32 valScale, char percent);
void MakeSatTable(unsigned char* table, UInt16 satScale);
void BrightenTable(unsigned char* table, UInt16 amount);
void SetTableBrightness(unsigned char* table, float brightness);

// The path of a bundle resource: names holding a '/' are kept as they are;
// the extension is appended when the name does not end with it.
std::string ResourceFilePath(const char* name, const char* extension);
