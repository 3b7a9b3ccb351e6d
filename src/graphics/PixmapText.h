// Text drawn into the current port's pixmap: labels with an optional box and
// shadow, word-wrapped text in a rectangle, and the queries a text editor
// needs (lines, wraps, columns, the box of a character, the character under
// a point). Colours are indices into mainCLUT; -1 means none.
//
// Measuring and drawing go through a replaceable back end: by default glyphs
// come from FreeType faces registered per font number, rendered unsmoothed in
// the port's fore colour and clipped to the port's clip and pixmap.
#pragma once

#include "platform/QuickDraw.h"

struct FontInfo {
  SInt16 ascent;
  SInt16 descent;
  SInt16 widMax;
  SInt16 leading;
};

struct PortTextBackEnd {
  // The current port's font metrics.
  void (*fontInfo)(FontInfo* info);
  // Width in pixels of text[offset .. offset + length) in the current port.
  SInt16 (*textWidth)(const char* text, SInt32 offset, SInt32 length);
  // Draws the bytes at the current pen and advances it by their width.
  void (*drawText)(const char* text, SInt32 offset, SInt32 length);
};
// Returns the back end installed before; null restores the FreeType one.
const PortTextBackEnd* SetPortTextBackEnd(const PortTextBackEnd* backEnd);

// Makes the shell's styled text measure and draw through this text, in the
// current port.
void InstallStyledTextDrawing();

// The font file used for a font number (txFont), in place of the face the
// number names (every number GetFontNum gives out, and the three system
// fonts, is drawn with its own face without this). Numbers with no face
// use font 0's. False when the file cannot be opened.
bool RegisterPixmapFont(SInt16 font, const char* path);
void ForgetPixmapFonts();

// QuickDraw's pen and text calls on the current port.
void MoveTo(SInt16 h, SInt16 v);
void Move(SInt16 dh, SInt16 dv);
void GetPen(Point* pt);
void ClipRect(const Rect* r);
void PaintRect(const Rect* r);
// Inverts every pixel's colour bits inside the port's pixmap and clip.
void InvertRect(const Rect* r);
void GetFontInfo(FontInfo* info);
SInt16 TextWidth(const char* text, SInt32 offset, SInt32 length);
SInt16 CharWidth(char c);
SInt16 StringWidth(const unsigned char* text);
void DrawText(const char* text, SInt32 offset, SInt32 length);
void DrawString(const unsigned char* text);

// A line break: the end of the line starting at `start`, and 2 when the rest
// of the text fits, else 1. Breaks after the last run of spaces that fits,
// inside a word when none does, and after a return or line feed; a line
// always takes at least one character.
struct LineBreakResult {
  SInt32 end;
  SInt16 code;
};
LineBreakResult LineBreak(const char* text, SInt32 start, SInt32 length, SInt32 width);

Rect DrawString2(const unsigned char* text, SInt16 h, SInt16 v, char align, SInt16 boxColor, SInt16 textColor,
                 SInt16 margin, SInt16 shadowColor);
Rect DrawString2(SInt32 number, SInt16 h, SInt16 v, char align, SInt16 boxColor, SInt16 textColor, SInt16 margin,
                 SInt16 shadowColor);
// Draws the lines that fall inside `rect` (all of them without `clip`) and
// returns the number of lines. With `clip`, the port's clip is the rectangle
// while drawing and is restored afterwards.
SInt32 DrawStringInRect(const char* text, UInt32 length, const Rect* rect, SInt16 lineHeight, SInt32 hScroll,
                        SInt32 vScroll, UInt8 clip, UInt16 margin, SInt16 shadowColor);
// The number of lines at `width`; the port is left as it was.
SInt32 MeasureStringLines(const char* text, UInt32 length, SInt32 width);
SInt16 FontHeight();

SInt32 FindLineOfCharInString(const char* text, UInt32 length, UInt32 index, SInt32 width);
SInt32 FindWrapOfCharInString(const char* text, UInt32 length, UInt32 index, SInt32 width);
SInt32 FindColumnOfCharInString(const char* text, UInt32 length, UInt32 index, SInt32 width);
SInt32 FindWrapOfLineInString(const char* text, UInt32 length, SInt32 line, SInt32 width);
Rect FindBoundsOfCharInString(const char* text, UInt32 length, UInt32 index, const Rect* rect, SInt16 lineHeight,
                              SInt32 hScroll, SInt32 vScroll, UInt16 margin);
// 0 for a point above the rectangle or a line height of 0.
SInt32 FindCharByPointInString(const char* text, UInt32 length, const Point* point, const Rect* rect, SInt16 lineHeight,
                               SInt32 hScroll, SInt32 vScroll, UInt16 margin);
