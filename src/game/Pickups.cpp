#include "game/GameInternal.h"

static void Place16(Object& o, SInt16 x, SInt16 y) {
  o.centerX = x;
  o.centerY = y;
  o.rect.left = SInt16(x - 8);
  o.rect.top = SInt16(y - 8);
  o.rect.right = SInt16(o.rect.left + 16);
  o.rect.bottom = SInt16(o.rect.top + 16);
  o.oldRect = o.rect;
}

void DoPod(char slot, SInt16 x, SInt16 y) {
  Object& pod = _POD[int(slot)];
  if (pod.on) return;
  Place16(pod, x, y);
  pod.frame = 0;
  pod.velX = _ENEMY[int(slot)].velX;
  pod.velY = _ENEMY[int(slot)].velY;
  pod.on = 1;
  pod.pulseDir = 1;
  pod.scale = 1.0f;
}

void DoPow(SInt16 x, SInt16 y, float vx, float vy) {
  for (int i = 0; i < kPows; i++) {
    Object& pow = POW[i];
    if (pow.on) continue;
    Place16(pow, x, y);
    pow.hits = GameRandom() % 3 != 0 ? 1 : 0;
    pow.frame = 0;
    pow.velX = vx;
    pow.velY = vy;
    pow.on = 1;
    pow.scale = 1.0f;
    pow.pulseDir = 1;
    return;
  }
}

void DoWing(char slot, SInt16 x, SInt16 y) {
  UInt32 r0 = GameRandom();
  Object& wing = _WING[int(slot)];
  if (wing.on) return;
  const Enemy& e = _ENEMY[int(slot)];
  wing.centerX = x;
  wing.centerY = y;
  wing.rect.left = SInt16(x - wingSIZE / 2);
  wing.rect.top = SInt16(y - wingSIZE / 2);
  wing.rect.right = SInt16(wing.rect.left + wingSIZE);
  wing.rect.bottom = SInt16(wing.rect.top + wingSIZE);
  wing.oldRect = wing.rect;
  float speed = float(0.33334 * ((GameRandom() & 3) + 1));
  wing.velX = e.lostWing ? speed : -speed;
  wing.velY = e.velY;
  wing.frame = 1;
  wing.state = 0;
  wing.side = e.lostWing;
  wing.on = 1;
  wing.angle = 0;
  SInt32 spin = SInt32(r0 % 15 + 5);
  wing.spin = float(wing.side == 1 ? spin : -spin);
}

void BlastWing(char slot) {
  Object& wing = _WING[int(slot)];
  PlayAt(SoundElement(boomSND, 0), &wing.rect);
  wing.state = 1;
  wing.frame = 0;
  InsetRectGame(&wing.rect, -4, -4);
  DoSparks(24, 12, &orangeRGB, CenterH(wing.rect), CenterV(wing.rect));
}

void MovePods() {
  for (int i = kPods - 1; i >= 0; i--) {
    Object& pod = _POD[i];
    if (!pod.on) continue;
    MoveSprite(&pod);
    if (!RectsOverlap(pod.rect, viewRECT)) pod.on = 0;
    pod.realRect = SquareOn(pod.rect, 16);
    if (AnimateStep() && pod.frame % 2 == 0) DoSparks(1, 4, &enemyRGB, CenterH(pod.rect), CenterV(pod.rect));
    for (int p = 1; p >= 0; p--) {
      Player& ship = _PLAYER[p];
      StatusArray& bonus = ship.status.bonus;
      if (!ShipAlive(p) || !RectsOverlap(ship.rect, pod.realRect) || bonus.target == 12) continue;
      PlayAt(&podSND, &pod.rect);
      pod.on = 0;
      ship.DoFlash(&whiteFlashCOLOR);
      DoSparks(32, 16, &enemyRGB, CenterH(pod.rect), CenterV(pod.rect));
      bonus.target++;
      AdjustScore(char(p), 50);
    }
  }
}

void MovePows() {
  for (int i = 0; i < kPows; i++) {
    Object& pow = POW[i];
    if (!pow.on) continue;
    MoveSprite(&pow);
    if (!RectsOverlap(pow.rect, viewRECT)) pow.on = 0;
    pow.realRect = SquareOn(pow.rect, 16);
    const RGBColorF* color = pow.hits == 0 ? &goldRGB : &playerRGB[0];
    SInt16 x = CenterH(pow.rect), y = CenterV(pow.rect);
    if (AnimateStep() && pow.frame % 2 == 0) DoSparks(1, 4, color, x, y);
    for (int p = 1; p >= 0; p--) {
      Player& ship = _PLAYER[p];
      if (!ShipAlive(p) || !RectsOverlap(ship.rect, pow.realRect)) continue;
      PlayAt(&powerSND, &pow.rect);
      if (pow.hits == 0) {
        AdjustShield(char(p), 4);
        DoSparks(32, 16, &goldRGB, x, y);
        AdjustScore(char(p), 300);
      } else {
        ship.status.doubles.target = 18;
        DoSparks(32, 16, &playerRGB[0], x, y);
        AdjustScore(char(p), 100);
      }
      pow.on = 0;
      ship.DoFlash(&whiteFlashCOLOR);
    }
  }
}

void MoveWings() {
  for (int i = kWings - 1; i >= 0; i--) {
    Object& wing = _WING[i];
    if (!wing.on) continue;
    MoveSprite(&wing);
    wing.realRect = SquareOn(wing.rect, 24);
    SInt32 a = SInt32(wing.angle + 0.33334 * wing.spin);
    if (a < 0) a += 360;
    if (a > 359) a -= 360;
    wing.angle = SInt16(a);
    if (!RectsOverlap(wing.rect, viewRECT)) wing.on = 0;
  }
}

void AnimatePods() {
  for (int i = kPods - 1; i >= 0; i--) {
    Object& pod = _POD[i];
    if (!pod.on) continue;
    if (pod.frame == 0) PlayAt(&flipSND, &pod.rect);
    pod.frame = SInt8(pod.frame < 7 ? pod.frame + 1 : 0);
    AnimateObjectGlow(&pod);
  }
}

void AnimatePows() {
  for (int i = 0; i < kPows; i++) {
    Object& pow = POW[i];
    if (!pow.on) continue;
    if (pow.frame == 0 || pow.frame == 8) PlayAt(&flipSND, &pow.rect);
    SInt8 last = pow.hits == 0 ? 14 : 6;
    pow.frame = SInt8(pow.frame <= last ? pow.frame + 1 : 0);
    AnimateObjectGlow(&pow);
  }
}

void AnimateWings() {
  for (int i = kWings - 1; i >= 0; i--) {
    Object& wing = _WING[i];
    if (!wing.on) continue;
    if (wing.state == 0)
      wing.frame = SInt8(wing.frame < 3 ? wing.frame + 1 : 0);
    else if (wing.frame < 7)
      wing.frame++;
    else
      wing.on = 0;
  }
}

void AnimateObjectGlow(MSSprite* s) {
  if (s->pulseDir == 1) {
    s->scale += 0.07;
    if (s->scale >= 1.3) s->pulseDir = -1;
  } else if (s->pulseDir == -1) {
    s->scale -= 0.07;
    if (s->scale <= 1.0) s->pulseDir = 1;
  }
}

static void SlidePanel(int p) {
  StatusBar& bar = _PLAYER[p].status;
  if (bar.bounds.bottom <= kGameRect.bottom) return;
  bar.slide = SInt8((kGameRect.bottom - bar.bounds.bottom) / 2);
  if (bar.slide >= 0) bar.slide = -1;
  bar.bounds.top = SInt16(bar.bounds.top + bar.slide);
  bar.bounds.bottom = SInt16(bar.bounds.bottom + bar.slide);
  if (bar.bounds.bottom <= kGameRect.bottom) {
    SInt16 down = SInt16(kGameRect.bottom - bar.bounds.bottom);
    bar.bounds.top = SInt16(bar.bounds.top + down);
    bar.bounds.bottom = SInt16(bar.bounds.bottom + down);
  }
  SetupStatusDisplays(char(p));
}

void AnimateStatus() {
  if (BOSS.on) BOSS.energy.Animate();
  for (int p = 1; p >= 0; p--) {
    StatusBar& bar = _PLAYER[p].status;
    if (!bar.on) continue;
    SlidePanel(p);
    bar.shield.Animate();
    bar.doubles.Animate();
    bar.bonus.Animate();
    if (bar.bonus.glow[11] == 22) {
      PlayAt(&superSND, &bar.bonus.rect[0]);
      AdjustScore(char(p), 10000);
      AdjustShield(char(p), 12);
      bar.doubles.target = 18;
      bar.bonus.target = 0;
    }
  }
}
