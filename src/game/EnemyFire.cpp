#include "game/GameInternal.h"

static const double kUnit = 0.33334;

void FireEnemyShot(char index) {
  Shot& s = enemySHOT[int(index)];
  Enemy& e = _ENEMY[int(index)];
  if (s.on) return;
  s.Reset();
  DoGlow(CenterH(e.rect), e.rect.bottom, &enemyRGB, 1.0f, 0.25f);
  PlayAt(SoundElement(shotSND, 1), &e.rect);
  s.rect.left = SInt16(e.centerX - 8);
  s.rect.top = SInt16(e.rect.bottom - 12 + 4);
  s.rect.right = SInt16(s.rect.left + 16);
  s.rect.bottom = SInt16(s.rect.top + 24);
  UpdateSpriteLocs(&s);
  s.oldRect = s.rect;
  s.velX = 0;
  s.velY = float(4.00008);
  s.frame = 0;
  s.movingDown = 1;
  s.on = 1;
  s.kind = 0;
  s.hits = 0;
  e.fired = 1;
}

static float BoltSpeed(bool mayNegate) {
  float v = float(kUnit * ((GameRandom() & 3) + 1));
  UInt32 s = GameRandom();
  if ((s & 1) == 0 && mayNegate) v = -v;
  return v;
}

UInt8 FireBolt(SInt16 x, SInt16 y, char color) {
  Shot* s = nullptr;
  for (int i = 0; i < kEnemyShots && !s; i++)
    if (!enemySHOT[i].on) s = &enemySHOT[i];
  if (!s) return 0;
  s->centerX = x;
  s->centerY = y;
  s->rect.left = SInt16(x - 12);
  s->rect.top = SInt16(y - 12);
  s->rect.right = SInt16(s->rect.left + 24);
  s->rect.bottom = SInt16(s->rect.top + 24);
  if (color == 0)
    PlayAt(SoundElement(shotSND, 1), &s->rect);
  else
    s->frame = SInt8(GameRandom() % 5);
  s->oldRect = s->rect;
  s->velX = BoltSpeed(true);
  s->velY = BoltSpeed(color != 0);
  s->movingDown = 1;
  s->on = 1;
  s->kind = 1;
  s->hits = UInt8(color);
  if (color == 0) s->frame = 0;
  if (color == 2) {
    InsetRectGame(&s->rect, -4, -4);
    s->targetVelX = s->velX;
    s->targetVelY = s->velY;
    s->flashOn = 2;
  }
  return 1;
}

void DoPlasma(SInt16 x, SInt16 y, float a, float b) {
  Enemy* e = nullptr;
  for (int i = 0; i < kEnemies && !e; i++)
    if (!_ENEMY[i].flying) e = &_ENEMY[i];
  if (!e) return;
  SInt16 side = SInt16(enemSIZE + 8);
  e->centerX = x;
  e->centerY = y;
  e->rect.left = SInt16(x - side / 2);
  e->rect.top = SInt16(y - side / 2);
  e->rect.right = SInt16(e->rect.left + side);
  e->rect.bottom = SInt16(e->rect.top + side);
  e->realRect = SquareOn(e->rect, 32);
  e->oldRect = e->rect;
  e->Activate();
  e->targetVelX = e->velX = float(kUnit * a);
  e->targetVelY = e->velY = float(kUnit * b);
  e->targetBank = 4;
  e->frame = 4;
  e->enemyState = 1;
  e->flipCount = 5;
  curENEMS++;
}

static void BuildCollision(Shot& s) {
  s.realRect = s.rect;
  if (s.kind == 1) {
    InsetRectGame(&s.realRect, 4, 4);
  } else if (s.movingDown) {
    s.realRect.top = SInt16(s.realRect.top + 12);
  } else {
    s.realRect.bottom = SInt16(s.realRect.bottom - 12);
  }
}

static void Wobble(float* vel, float* base) {
  if (*vel == *base) {
    if (GameChance(5)) {
      *base = float(kUnit * ((GameRandom() & 3) + 1));
      if ((GameRandom() & 1) == 0) *base = -*base;
    }
  } else if (*base > *vel) {
    *vel += 1.0f;
  } else {
    *vel -= 1.0f;
  }
}

static void HitShip(Shot& s, int p) {
  Player& ship = _PLAYER[p];
  PlayAt(&tapSND, &s.realRect);
  s.on = 0;
  const float push = float(2.66672);
  if (!OrientRects(&ship.rect, &s.realRect)) {
    SInt16 a = SInt16(std::abs(ship.rect.right - s.realRect.left)),
           b = SInt16(std::abs(ship.rect.left - s.realRect.right));
    ship.velX = a <= b ? -push : push;
  } else {
    SInt16 c = SInt16(std::abs(ship.rect.bottom - s.realRect.top)),
           d = SInt16(std::abs(ship.rect.top - s.realRect.bottom));
    ship.velY = c <= d ? -push : push;
  }
  SInt16 x = CenterH(s.rect), y = CenterV(s.rect);
  if (s.kind == 1) {
    const RGBColorF* color = &plasmaRGB[s.hits % 3];
    DoSparks(16, 8, color, x, y);
    if (s.hits == 2) {
      PlayAt(SoundElement(boomSND, 0), &s.rect);
      DoExplosion(2, SInt16(s.centerX), SInt16(s.centerY), s.velX, s.velY, 0);
      AdjustShield(char(p), -3);
    } else {
      AdjustShield(char(p), -2);
    }
    DoGlow(x, y, color, 2.0f, 0.25f);
  } else {
    AdjustShield(char(p), -1);
    DoSparks(16, 8, &enemyRGB, x, y);
    DoGlow(x, y, &enemyRGB, 2.0f, 0.25f);
  }
  ship.DoFlash(&whiteFlashCOLOR);
}

static void HitEnemy(Shot& s, int j) {
  Enemy& e = _ENEMY[j];
  if (e.enemyState != 3) {
    s.on = 0;
  } else if (s.kind == 1) {
    DoSparks(16, 8, &plasmaRGB[s.hits % 3], CenterH(s.rect), CenterV(s.rect));
    s.on = 0;
  } else {
    s.velY = -s.velY;
    s.movingDown = !s.movingDown;
    if (s.movingDown) {
      while (s.rect.top <= e.realRect.bottom) OffsetSprite(&s, 0, 1);
    } else {
      while (s.rect.bottom >= e.realRect.top) OffsetSprite(&s, 0, -1);
    }
    DoSparks(16, 8, &enemyRGB, CenterH(s.rect), CenterV(s.rect));
  }
  BlastEnemy(char(j), &s.rect, 0, 1);
}

void MoveEnemyShots() {
  for (int i = 0; i < kEnemyShots; i++) {
    Shot& s = enemySHOT[i];
    if (!s.on) continue;
    MoveSprite(&s);
    if (!RectsOverlap(s.rect, viewRECT)) s.on = 0;
    BuildCollision(s);
    if (AnimateStep() && s.kind == 1 && s.hits == 2) {
      if (s.flashOn) {
        s.flashOn--;
      } else {
        Wobble(&s.velX, &s.targetVelX);
        Wobble(&s.velY, &s.targetVelY);
        s.DoFlash(&whiteFlashCOLOR);
        s.flashOn = 2;
      }
    }
    for (int m = 0; m < kMeteors; m++) {
      Meteor& met = _METEOR[m];
      if (s.on && met.on && met.state == 0 && RectsOverlap(s.realRect, met.realRect)) {
        s.on = 0;
        BlastMeteor(char(m), &s.rect, UInt8(2 + s.kind + s.hits), 0);
      }
    }
    for (int p = 1; p >= 0; p--) {
      Player& ship = _PLAYER[p];
      if (s.on && ship.on && ship.dying != 1 && ship.graceCount == 0 && RectsOverlap(s.realRect, ship.rect))
        HitShip(s, p);
    }
    for (int j = kEnemies - 1; j >= 0; j--) {
      Enemy& e = _ENEMY[j];
      if (s.on && e.flying && e.enemyState != 1 && RectsOverlap(s.realRect, e.realRect)) HitEnemy(s, j);
    }
    for (int w = kWings - 1; w >= 0; w--) {
      Object& wing = _WING[w];
      if (s.on && wing.on && wing.state == 0 && RectsOverlap(s.realRect, wing.realRect)) {
        s.on = 0;
        BlastWing(char(w));
      }
    }
  }
}
