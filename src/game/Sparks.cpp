#include "game/GameInternal.h"

void DoSparks(SInt16 count, char speedClass, const RGBColorF* color, SInt16 x, SInt16 y) {
  if (count == 0 || !EffectsPref()) return;
  for (int i = kSparks - 1; i >= 0 && count > 0; i--) {
    Spark& s = _SPARK[i];
    if (s.active) continue;
    s.color.red = s.startColor.red = color->red;
    s.color.green = s.startColor.green = color->green;
    s.color.blue = s.startColor.blue = color->blue;
    s.x = SInt32(x) * 256;
    s.y = SInt32(y) * 256;
    s.angle = UInt16(GameRandom() % 360);
    s.speedClass = speedClass ? UInt8(GameRandom() % UInt32(UInt8(speedClass)) + 1) : 1;
    s.speed = SInt32(GameRandom() % (UInt32(s.speedClass) * 256) + 256);
    s.active = 1;
    s.fades = sparkGRAVITY;
    s.alpha = 1.0f;
    s.fade = float((GameRandom() % 15 + 91) / 100.0);
    count--;
  }
}

static SInt32 Advance(SInt32 at, SInt32 speed, SInt32 table) {
  SInt32 step = ((speed / 2) * table) >> 8;
  return SInt32(at + 0.33334 * step);
}

void MoveSparks() {
  for (int i = kSparks - 1; i >= 0; i--) {
    Spark& s = _SPARK[i];
    if (!s.active) continue;
    SInt32 px = s.x >> 8, py = s.y >> 8;
    if (px < viewRECT.left || px >= viewRECT.right || py < viewRECT.top || py >= viewRECT.bottom) s.active = 0;
    s.x = Advance(s.x, s.speed, cosTABLE[s.angle]);
    s.y = Advance(s.y, s.speed, sinTABLE[s.angle]);
  }
}

static float Cool(float f, float start) { return float(f + start * (1.0 - f)); }

void AnimateSparks() {
  for (int i = kSparks - 1; i >= 0; i--) {
    Spark& s = _SPARK[i];
    if (!s.active || !s.fades) continue;
    float f = s.fade;
    if (f > -1.2) {
      s.color.red = Cool(f, s.startColor.red);
      s.color.green = Cool(f, s.startColor.green);
      s.color.blue = Cool(f, s.startColor.blue);
      if (f > 0.9)
        s.fade -= 0.02;
      else if (f > 0)
        s.fade -= 0.3;
      else
        s.fade -= 0.5;
    } else {
      s.alpha -= 0.1;
      if (s.alpha < 0) s.active = 0;
    }
  }
  for (int i = kGlows - 1; i >= 0; i--) {
    MSSprite& g = _GLOW[i];
    if (!g.on) continue;
    g.alpha -= 0.1;
    if (g.alpha <= 0) g.on = 0;
  }
  for (int i = kStars - 1; i >= 0; i--) {
    SparkF& star = _STAR[i];
    if (star.direction == 1) {
      if (star.level < 7)
        star.level++;
      else
        star.direction = 0;
    } else {
      if (star.level > 0)
        star.level--;
      else
        star.direction = 1;
    }
  }
}

void DoGlow(SInt16 x, SInt16 y, const RGBColorF* color, float scale, float alpha) {
  for (int i = kGlows - 1; i >= 0; i--) {
    MSSprite& g = _GLOW[i];
    if (g.on) continue;
    SInt16 w = SInt16(GlowImageWidth() * scale), h = SInt16(GlowImageHeight() * scale);
    g.rect.left = SInt16(x - w / 2);
    g.rect.top = SInt16(y - h / 2);
    g.rect.right = SInt16(g.rect.left + w);
    g.rect.bottom = SInt16(g.rect.top + h);
    g.glowColor = *color;
    g.alpha = alpha;
    g.on = 1;
    return;
  }
}

void MoveStars() {
  UInt32 w = UInt32(viewRECT.right - viewRECT.left);
  for (int i = kStars - 1; i >= 0; i--) {
    SparkF& star = _STAR[i];
    star.y = star.y + star.speed;
    if (star.x < viewRECT.left || star.x >= viewRECT.right || star.y < viewRECT.top || star.y >= viewRECT.bottom) {
      UInt32 r = GameRandom();
      star.x = float(w ? r % w : 0);
      star.y = viewRECT.top;
    }
  }
}
