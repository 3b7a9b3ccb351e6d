// Scaled blits of 8-, 16- and 32-bit pixel maps, and the shared horizontal
// scale table that every scaled blit fills for its kernel.
#pragma once

#include "blit/BlitModel.h"

// scaleTABLE and scaleTABLECount, the shared scale table, are declared with
// the kernels' types (KernelTypes.h).

// Makes a fresh table of 1024 entries, zero-filled.
void InitScaleTable();
void DisposeScaleTable();
// Makes sure the table holds at least the given number of entries.
bool EnsureScaleTable(size_t entries);

// Fills table for one blit and stores the initial row error. Only the size of
// srcRect is read; visRect is the visible part of dstRect (null: all of it).
// Run form (source extent along the destination rows <= destination width):
// entry k counts the destination columns of the k-th visible source column.
// Step form: entry i is the source advance after visible column i, in
// multiples of step. The table needs visible width + 2 entries.
void BuildScaleTable(const Rect* srcRect, const Rect* dstRect, const Rect* visRect, SInt32 turn, SInt32 step,
                     SInt32* table, SInt32* rowErr);

void ScaleSprite8(PixMapHandle src, PixMapHandle dst, PixMapHandle mask, const Rect* srcRect, const Rect* dstRect,
                  const Rect* clipRect, SInt32 mode, SInt32 color, void* lookup, void* transTable, UInt8 hFlip,
                  UInt8 vFlip, char turn, const Rect* maskRect);
void ScaleSprite16(PixMapHandle src, PixMapHandle dst, PixMapHandle mask, const Rect* srcRect, const Rect* dstRect,
                   const Rect* clipRect, SInt32 mode, SInt32 color, void* lookup, void* transTable, UInt8 hFlip,
                   UInt8 vFlip, char turn, const Rect* maskRect);
void ScaleSprite32(PixMapHandle src, PixMapHandle dst, PixMapHandle mask, const Rect* srcRect, const Rect* dstRect,
                   const Rect* clipRect, SInt32 mode, SInt32 color, void* lookup, void* transTable, UInt8 hFlip,
                   UInt8 vFlip, char turn, const Rect* maskRect);

extern const JumpTable<BlitKernel<UInt8>> ScaleSprite8Jump;
extern const JumpTable<BlitKernel<UInt16>> ScaleSprite16Jump;
extern const JumpTable<BlitKernel<UInt32>> ScaleSprite32Jump;
