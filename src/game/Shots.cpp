#include "game/GameInternal.h"

static void UseUp(Shot& s) {
  if (!s.doubled) s.on = 0;
}

static void HitMeteors(Shot& s, int p) {
  for (int j = kMeteors - 1; j >= 0; j--) {
    Meteor& m = _METEOR[j];
    if (!s.on || !m.on || m.state != 0 || !RectsOverlap(s.realRect, m.realRect)) continue;
    UseUp(s);
    BlastMeteor(char(j), &s.realRect, UInt8(p), s.doubled);
    if (m.hits == 255 && !BOSS.on) AdjustScore(char(p), SInt16((3 - m.kind) * 500));
  }
}

static void HitEnemies(Shot& s, int p) {
  for (int j = kEnemies - 1; j >= 0; j--) {
    Enemy& e = _ENEMY[j];
    if (!s.on || !e.flying || e.enemyState == 1 || !RectsOverlap(s.realRect, e.realRect)) continue;
    if (e.enemyState == 3 && s.doubled) {
      e.enemyState = 0;
      e.targetBank = 2;
      e.frame = 2;
      InsetRectGame(&e.rect, 4, 4);
    }
    if (e.enemyState == 3) {
      s.velY = -s.velY;
      s.movingDown = !s.movingDown;
      if (s.velY > 0) {
        while (s.rect.top <= e.realRect.bottom) OffsetSprite(&s, 0, 1);
      } else {
        while (s.rect.bottom >= e.realRect.top) OffsetSprite(&s, 0, -1);
      }
      SInt16 x = CenterH(s.realRect), y = CenterV(s.realRect);
      DoSparks(16, 8, &playerRGB[p], x, y);
      DoGlow(x, y, &playerRGB[p], 1.0f, 0.25f);
    } else {
      UseUp(s);
    }
    AdjustScore(char(p), e.enemyState == 2 ? 250 : 150);
    BlastEnemy(char(j), &s.realRect, 1, 1);
  }
}

static void HitWings(Shot& s, int p) {
  for (int j = kWings - 1; j >= 0; j--) {
    Object& w = _WING[j];
    if (!s.on || !w.on || w.state != 0 || !RectsOverlap(s.realRect, w.realRect)) continue;
    UseUp(s);
    BlastWing(char(j));
    AdjustScore(char(p), 350);
  }
}

static void HitShooter(Shot& s, int p) {
  for (int q = 1; q >= 0; q--) {
    Player& ship = _PLAYER[q];
    if (!s.on || s.velY <= 0 || !ship.on || !RectsOverlap(s.realRect, ship.rect) || ship.dying == 1 ||
        ship.graceCount != 0 || q != p)
      continue;
    UseUp(s);
    PlayAt(&tapSND, &s.realRect);
    SInt16 x = CenterH(s.realRect), y = CenterV(s.realRect);
    DoSparks(16, 8, &playerRGB[p], x, y);
    DoGlow(x, y, &playerRGB[p], 1.0f, 0.25f);
    ship.DoFlash(&whiteFlashCOLOR);
    ship.velY = float(2.66672);
    AdjustShield(char(p), -1);
  }
}

static void HitEnemyShots(Shot& s) {
  for (int k = 0; k < kEnemyShots; k++) {
    Shot& e = enemySHOT[k];
    if (!s.on || !e.on || !RectsOverlap(s.realRect, e.realRect)) continue;
    PlayAt(&bounceSND, &e.rect);
    e.on = 0;
    SInt16 x = CenterH(e.rect), y = CenterV(e.rect);
    if (e.kind == 0)
      DoSparks(16, 8, &enemyRGB, x, y);
    else if (e.kind == 1)
      DoSparks(16, 8, &plasmaRGB[e.hits % 3], x, y);
  }
}

static void HitBoss(Shot& s, int p) {
  Boss& b = BOSS;
  if (!s.on || !b.on || b.state == 1 || b.energy.target == 0 || !RectsOverlap(s.realRect, b.realRect)) return;
  s.on = 0;
  SInt16 dx = SInt16(CenterH(s.rect) - CenterH(b.realRect));
  if (dx < -12 || dx > 12) {
    PlayAt(&tapSND, &s.realRect, 0.25f);
    SInt16 x = CenterH(s.realRect), y = CenterV(s.realRect);
    DoSparks(16, 8, &playerRGB[p], x, y);
    DoGlow(x, y, &playerRGB[p], 2.0f, 0.25f);
    return;
  }
  PlayAt(&suckSND, &s.rect);
  b.DoFlash(&whiteFlashCOLOR);
  b.energy.target--;
  if (s.doubled && b.energy.target > 0) b.energy.target--;
  AdjustScore(char(p), b.hits != 0 ? 250 : 350);
}

void MoveShots() {
  for (int p = 1; p >= 0; p--) {
    for (int i = 0; i < kShots; i++) {
      Shot& s = SHOT[p][i];
      if (!s.on) continue;
      MoveSprite(&s);
      s.realRect = s.rect;
      if (!s.movingDown)
        s.realRect.bottom = SInt16(s.realRect.bottom - 12);
      else
        s.realRect.top = SInt16(s.realRect.top + 12);
      if (!RectsOverlap(s.rect, viewRECT)) s.on = 0;
      HitMeteors(s, p);
      HitEnemies(s, p);
      HitWings(s, p);
      HitShooter(s, p);
      if (s.doubled) HitEnemyShots(s);
      HitBoss(s, p);
    }
  }
}
