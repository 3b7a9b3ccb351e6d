// Frame pictures of the sprite sheets. Each draws frame `index` of its array
// into a w x h box at the origin (the sheet code translates and clips).
#pragma once

#include <cairo.h>

namespace assetgen {

using DrawFrame = void (*)(cairo_t* cr, int index, int w, int h);

void DrawMeteor(cairo_t*, int, int, int);
void DrawPlayerShip(cairo_t*, int, int, int);
void DrawPlayerFire(cairo_t*, int, int, int);
void DrawEnemyFire(cairo_t*, int, int, int);
void DrawPlayerShot(cairo_t*, int, int, int);
void DrawEnemyShot(cairo_t*, int, int, int);
void DrawPlasma(cairo_t*, int, int, int);
void DrawShieldCell(cairo_t*, int, int, int);
void DrawPellet(cairo_t*, int, int, int);
void DrawBossCell(cairo_t*, int, int, int);
void DrawEnemyShield(cairo_t*, int, int, int);
void DrawExplosion(cairo_t*, int, int, int);
void DrawEngine(cairo_t*, int, int, int);
void DrawEnemy(cairo_t*, int, int, int);
void DrawEnemySpin(cairo_t*, int, int, int);
void DrawEnemyWing(cairo_t*, int, int, int);
void DrawWaveWord(cairo_t*, int, int, int);
void DrawDoublesPow(cairo_t*, int, int, int);
void DrawShieldPow(cairo_t*, int, int, int);
void DrawPod(cairo_t*, int, int, int);
void DrawDigit(cairo_t*, int, int, int);
void DrawBossWord(cairo_t*, int, int, int);
void DrawBigFlame(cairo_t*, int, int, int);
void DrawGlowHalo(cairo_t*, int, int, int);

// The two boss pictures at their own sizes (Images.cpp).
void DrawBoomerang(cairo_t* cr);
void DrawBlimp(cairo_t* cr);

}  // namespace assetgen
