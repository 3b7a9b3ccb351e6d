#include "foundation/QK_MathUtils.h"
#include "game/GameInternal.h"

static const double kUnit = 0.33334;

static void PlaceCollision(Enemy& e, SInt16 side) { e.realRect = SquareOn(e.rect, side); }

void ClearEnemies() {
  for (int i = kEnemies - 1; i >= 0; i--) {
    _ENEMY[i].Deactivate(0);
    _WING[i].on = 0;
    _POD[i].on = 0;
  }
  for (int i = 0; i < kExplosions; i++) EXPL[i].on = 0;
  for (int i = 0; i < kEnemyShots; i++) enemySHOT[i].on = 0;
}

void DoEnemy() {
  int slot = -1;
  for (int i = 0; i < kEnemies && slot < 0; i++)
    if (!_ENEMY[i].flying && !_WING[i].on && !_POD[i].on) slot = i;
  if (slot < 0) return;
  Enemy& e = _ENEMY[slot];
  SInt16 w = SInt16(viewRECT.right - viewRECT.left);
  SInt16 x = 16;
  if (w != 32) x = SInt16(16 + GameRandom() % UInt32(SInt32(w) - 32));
  e.rect.left = SInt16(x - enemSIZE / 2);
  e.rect.top = SInt16(viewRECT.top - enemSIZE / 2 - 16);
  e.rect.right = SInt16(e.rect.left + enemSIZE);
  e.rect.bottom = SInt16(e.rect.top + enemSIZE);
  PlaceCollision(e, 32);
  UpdateSpriteLocs(&e);
  for (int j = kEnemies - 1; j >= 0; j--)
    if (j != slot && _ENEMY[j].flying && RectsOverlap(e.realRect, _ENEMY[j].realRect)) return;
  for (int j = kMeteors - 1; j >= 0; j--)
    if (_METEOR[j].on && RectsOverlap(e.realRect, _METEOR[j].realRect)) return;
  PlaySound_Stereo_Game(&zoomSND, FreeChan_Game(), &e.rect, 1.0f, 1.0f, 0);
  e.oldRect = e.rect;
  e.Activate();
  e.velX = e.targetVelX = 0;
  e.velY = e.targetVelY = float(kUnit * ((GameRandom() & 3) + 1));
  e.targetBank = 2;
  e.frame = 2;
  e.enemyState = 0;
  e.flipCount = 0;
  curENEMS++;
  if (enemCOUNT) enemCOUNT--;
}

static float ClampStep(float v) {
  const float limit = float(1.33336);
  return v < -limit ? -limit : (v > limit ? limit : v);
}

void MoveEnemies() {
  if (waveREADY && (playerJOINED[0] || playerJOINED[1]) && enemCOUNT && SInt8(curENEMS) < SInt8(useENEMS)) DoEnemy();
  for (int i = kEnemies - 1; i >= 0; i--) {
    Enemy& e = _ENEMY[i];
    if (!e.flying) continue;
    if (e.velY < 0.33334) e.velY = float(0.33334);
    e.centerX += ClampStep(e.velX);
    e.centerY += ClampStep(e.velY);
    SInt16 w = SInt16(e.rect.right - e.rect.left), h = SInt16(e.rect.bottom - e.rect.top);
    e.rect.left = SInt16(e.centerX - w / 2);
    e.rect.top = SInt16(e.centerY - h / 2);
    e.rect.right = SInt16(e.rect.left + w);
    e.rect.bottom = SInt16(e.rect.top + h);
    PlaceCollision(e, e.enemyState == 3 ? 40 : 32);
    if (!RectsOverlap(e.rect, viewRECT)) e.Deactivate(1);
    if (AnimateStep()) {
      if (GameChance(shotFREQ) && e.enemyState == 0 && e.flying) {
        FireEnemyShot(char(i));
      } else if (GameChance(shieldFREQ) && e.velX == 0.0f && e.enemyState == 0 && e.flying) {
        PlayAt(&shieldSND, &e.rect);
        e.frame = 0;
        e.enemyState = 3;
        e.shieldCount = UInt8((GameRandom() % 3) * 10 + 10);
        InsetRectGame(&e.rect, -4, -4);
      }
    }
    if (e.enemyState == 2) {
      e.angle = SInt16(e.angle + kUnit * e.spin);
      if (e.angle < 0) e.angle += 360;
      if (e.angle > 359) e.angle -= 360;
    }
  }
}

void AdjustEnemies() {
  for (int i = kEnemies - 1; i >= 0; i--) {
    Enemy& e = _ENEMY[i];
    if (!e.flying) continue;
    if (e.enemyState == 0) {
      if (e.targetVelX > e.velX) {
        e.velX += kUnit;
        if (e.velX > e.targetVelX) e.velX = e.targetVelX;
      } else if (e.velX > e.targetVelX) {
        e.velX -= kUnit;
        if (e.velX < e.targetVelX) e.velX = e.targetVelX;
      } else if (AnimateStep()) {
        if (GameChance(swerveFREQ * 2)) e.targetVelX = 0;
        if (GameChance(swerveFREQ)) {
          e.targetVelX = float(kUnit * ((GameRandom() & 3) + 1));
          if ((GameRandom() & 1) == 0) e.targetVelX = -e.targetVelX;
        }
      }
      UInt8 bank = 2;
      if (e.velX < -1.0)
        bank = 0;
      else if (e.velX < 0)
        bank = 1;
      else if (e.velX > 1.0)
        bank = 4;
      else if (e.velX > 0)
        bank = 3;
      e.targetBank = bank;
      if (e.frame > SInt8(e.targetBank))
        e.frame--;
      else if (e.frame < SInt8(e.targetBank))
        e.frame++;
    } else if (e.enemyState == 3) {
      if (e.velX < 0) e.velX += kUnit;
      if (e.velX > 0) e.velX -= kUnit;
    }
  }
}

static void Burst(Enemy& e) {
  PlayAt(SoundElement(boomSND, 0), &e.rect, BOSS.on ? 0.75f : 1.0f);
  SInt16 x = CenterH(e.rect), y = CenterV(e.rect);
  DoSparks(32, 16, &orangeRGB, x, y);
  e.frame = 0;
  if (GameRandom() % 3 == 0) {
    FireBolt(x, y, 2);
  } else {
    for (int n = 0; n < 8; n++) FireBolt(x, y, 1);
  }
  e.flipCount--;
}

void AnimateEnemies() {
  for (int i = kEnemies - 1; i >= 0; i--) {
    Enemy& e = _ENEMY[i];
    if (!e.flying) continue;
    switch (e.enemyState) {
      case 0: e.engineFlicker = !e.engineFlicker; break;
      case 1:
        if (e.frame <= 6) {
          e.frame++;
        } else if (e.flipCount == 0) {
          e.Deactivate(1);
        } else if (e.flipCount == 1) {
          Burst(e);
        } else {
          PlayAt(&flipSND, &e.rect, BOSS.on ? 0.25f : 1.0f);
          e.frame = SInt8(e.frame - 3);
          e.flipCount--;
        }
        break;
      case 2: e.frame = SInt8(e.frame >= 3 ? 0 : e.frame + 1); break;
      case 3:
        if (e.frame < 2) {
          e.frame++;
        } else if (e.frame == 2) {
          if (e.shieldCount) e.shieldCount--;
          e.frame = SInt8(e.shieldCount ? 1 : 3);
        } else {
          e.enemyState = 0;
          e.targetBank = 2;
          e.frame = 2;
          InsetRectGame(&e.rect, 4, 4);
        }
        break;
    }
  }
}

// A destroyed enemy drops a pod, or else may turn into a bomb.
static void PodOrBomb(int i, Enemy& e, unsigned char pod, UInt16 p) {
  if (pod == 1 && GameChance(p)) {
    DoPod(char(i), CenterH(e.rect), CenterV(e.rect));
  } else if (GameRandom() % 5 == 0) {
    e.flipCount = 5;
  }
}

static void Explode(int i, Enemy& e, unsigned char pod, UInt16 p) {
  e.enemyState = 1;
  e.frame = 0;
  DoSparks(32, 16, &orangeRGB, CenterH(e.rect), CenterV(e.rect));
  PodOrBomb(i, e, pod, p);
  InsetRectGame(&e.rect, -4, -4);
}

void BlastEnemy(char index, Rect* hitter, unsigned char pod, unsigned char wing) {
  int i = index;
  Enemy& e = _ENEMY[i];
  SInt8 dx = SInt8(CenterH(*hitter) - CenterH(e.rect));
  UInt32 r0 = GameRandom();
  SInt16 p = SInt8(podFREQ);
  if (_PLAYER[0].on && _PLAYER[1].on) p = SInt16(p / 2);
  if (p < 2) p = 2;
  switch (e.enemyState) {
    case 0: {
      PlayAt(SoundElement(boomSND, 0), &e.rect);
      if (dx > -16 && dx < 16) {
        Explode(i, e, pod, UInt16(p));
        return;
      }
      bool right = dx >= 16;
      PlayAt(&spinSND, &e.rect);
      e.enemyState = 2;
      e.frame = 1;
      double speed = 0.33334 * ((GameRandom() & 3) + 1);
      e.velX = float(right ? -speed : speed);
      e.lostWing = right ? 1 : 0;
      e.angle = 0;
      SInt32 spin = SInt32(r0 % 15 + 5);
      e.spin = float(right ? -spin : spin);
      SInt16 wx = SInt16(CenterH(e.rect) + (right ? 8 : -8)), wy = SInt16(CenterV(e.rect) - 4);
      DoExplosion(2, wx, wy, 0.0f, -2.0f, 1);
      if (!wing) return;
      DoWing(char(i), wx, wy);
      SeperateWing(char(i));
      return;
    }
    case 2:
      PlayAt(SoundElement(boomSND, 0), &e.rect);
      Explode(i, e, pod, UInt16(p));
      return;
    case 3:
      PlayAt(&bounceSND, &e.rect);
      e.frame = 0;
      return;
    default: return;
  }
}

void SeperateWing(char index) {
  Object& w = _WING[int(index)];
  Enemy& e = _ENEMY[int(index)];
  w.realRect = SquareOn(w.rect, 24);
  e.realRect = SquareOn(e.rect, 32);
  ForceRect(&w.realRect, &e.realRect, 1);
  w.rect = SquareOn(w.realRect, wingSIZE);
  e.rect = SquareOn(e.realRect, enemSIZE);
  UpdateSpriteLocs(&e);
  UpdateSpriteLocs(&w);
}
