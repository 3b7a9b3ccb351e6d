#include "game/GameInternal.h"

Rect* DoExplosion(char size, SInt16 x, SInt16 y, float vx, float vy, unsigned char sparks) {
  for (int i = 0; i < kExplosions; i++) {
    Object& e = EXPL[i];
    if (e.on) continue;
    SInt16 s = explSIZE[int(size)];
    e.rect.left = SInt16(x - s / 2);
    e.rect.top = SInt16(y - s / 2);
    e.rect.right = SInt16(e.rect.left + s);
    e.rect.bottom = SInt16(e.rect.top + s);
    e.oldRect = e.rect;
    e.velX = vx;
    e.velY = vy;
    e.frame = 0;
    e.kind = UInt8(size);
    e.on = 1;
    if (sparks) DoSparks(32, 16, &orangeRGB, CenterH(e.rect), CenterV(e.rect));
    UpdateSpriteLocs(&e);
    return &e.rect;
  }
  return nullptr;
}

void MoveExplosions() {
  for (int i = 0; i < kExplosions; i++) {
    Object& e = EXPL[i];
    if (!e.on) continue;
    MoveSprite(&e);
    if (!RectsOverlap(e.rect, viewRECT)) e.on = 0;
  }
}

void AnimateExplosions() {
  for (int i = 0; i < kExplosions; i++) {
    Object& e = EXPL[i];
    if (e.on) {
      if (e.frame < 7)
        e.frame++;
      else
        e.on = 0;
    }
    Shot& bolt = enemySHOT[i];
    if (bolt.on && bolt.kind == 1) {
      if (bolt.frame <= 3)
        bolt.frame++;
      else
        bolt.frame = SInt8(bolt.hits == 0 ? 1 : 0);
    }
  }
}

static void MoveBanner() {
  MSSprite& b = waveDISPLAY;
  bool boss = BOSS.on;
  if (b.centerY > 12.0) {
    b.centerY += b.velY;
    if (b.centerY < 12.0) b.centerY = 12.0f;
  }
  if (b.scale > 1.0) {
    b.scale -= 0.0233338;
    if (b.scale < 1.0) b.scale = 1.0f;
  } else {
    if (boss && b.alpha <= 0.25)
      b.alpha -= 0.0066668;
    else
      b.alpha -= 0.0233338;
    if (!boss && b.alpha < 0.25) b.alpha = 0.25f;
    if (b.alpha <= 0.5 && !waveREADY) WaveReady();
    if (b.scale2 > 0.55) b.scale2 -= 0.0100002;
    b.velY -= 0.16667;
  }
  if (b.alpha <= 0) b.on = 0;
}

static void MoveFlash() {
  MSSprite& f = whiteFLASH;
  if (f.direction == 1) {
    f.alpha += 0.066668;
    if (f.alpha >= 1.0) {
      f.alpha = 1.0f;
      f.direction = -1;
    }
  } else if (f.direction == -1) {
    f.alpha -= 0.0100002;
    if (f.alpha <= 0) f.on = 0;
  }
}

void MoveInterface() {
  if (waveDISPLAY.on) MoveBanner();
  if (whiteFLASH.on) MoveFlash();
}

void AnimateBosses() {
  if (BOSS.on) BOSS.flame = !BOSS.flame;
}
