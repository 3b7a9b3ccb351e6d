#include "foundation/QK_MathUtils.h"
#include "game/GameInternal.h"

static const float kKnock = float(2.66672);

static void Metal(Rect* r, float pitch = 1.0f) { PlayAt(SoundElement(metalSND, int(GameRandom() & 1)), r, pitch); }

// The drawing rectangle rebuilt as a square of side s on the collision one.
static void Recentre(MSSprite& s, SInt16 side) { s.rect = SquareOn(s.realRect, side); }

static float* Axis(MSSprite& s, bool vertical) { return vertical ? &s.velY : &s.velX; }

// The first body takes the second's speed; the second the first's former
// speed, passed through a 16-bit integer.
static void Exchange(MSSprite& a, MSSprite& b, bool vertical) {
  float* va = Axis(a, vertical);
  float* vb = Axis(b, vertical);
  float former = *va;
  *va = *vb;
  *vb = float(SInt16(former));
}

static void KnockBack(Player& ship, const Rect& r, bool vertical) {
  if (!vertical)
    ship.velX = std::abs(ship.rect.right - r.left) > std::abs(ship.rect.left - r.right) ? kKnock : -kKnock;
  else
    ship.velY = std::abs(ship.rect.bottom - r.top) > std::abs(ship.rect.top - r.bottom) ? kKnock : -kKnock;
}

static void ContactSparks(const RGBColorF* color, const Rect& a, const Rect& b, bool vertical) {
  SInt16 x, y;
  if (!vertical) {
    x = std::abs(a.right - b.left) < std::abs(a.left - b.right) ? a.right : a.left;
    y = CenterV(a);
  } else {
    x = CenterH(a);
    y = std::abs(a.bottom - b.top) < std::abs(a.top - b.bottom) ? a.bottom : a.top;
  }
  DoSparks(16, 8, color, x, y);
}

static bool EnemyOn(const Enemy& e) { return e.flying && e.enemyState != 1; }
static bool WingOn(const Object& w) { return w.on && w.state != 1; }
static bool MeteorOn(const Meteor& m) { return m.on && m.state != 1; }
static bool ShipHittable(int p) {
  const Player& s = _PLAYER[p];
  return s.on && s.graceCount == 0 && s.dying != 1;
}

static void KeepShield(Enemy& e) {
  if (e.enemyState == 3 && e.shieldCount <= 9) e.shieldCount = 10;
}

static void EnemyEnemy(int i, int j) {
  Enemy& a = _ENEMY[i];
  Enemy& b = _ENEMY[j];
  if (a.enemyState == 0 && b.enemyState == 0) {
    Metal(&a.realRect);
    ForceRect(&a.realRect, &b.realRect, 1);
    Recentre(a, enemSIZE);
    Recentre(b, enemSIZE);
    bool vertical = OrientRects(&a.rect, &b.rect);
    Exchange(a, b, vertical);
    if (!vertical) a.targetVelX = b.targetVelX = 0;
    ContactSparks(&orangeRGB, a.realRect, b.realRect, vertical);
    UpdateSpriteLocs(&a);
    UpdateSpriteLocs(&b);
    return;
  }
  if (a.enemyState == 3 && b.enemyState == 3) {
    ForceRect(&a.realRect, &b.realRect, 1);
    Recentre(a, protectSIZE);
    Recentre(b, protectSIZE);
    Exchange(a, b, true);
    ContactSparks(&purpleRGB, a.realRect, b.realRect, true);
    UpdateSpriteLocs(&a);
    UpdateSpriteLocs(&b);
  }
  BlastEnemy(char(i), &b.realRect, 0, 0);
  BlastEnemy(char(j), &a.realRect, 0, 0);
  KeepShield(a);
  KeepShield(b);
}

static void EnemyWing(int e, int w) {
  Enemy& enemy = _ENEMY[e];
  Object& wing = _WING[w];
  if (enemy.enemyState == 3) {
    bool vertical = OrientRects(&wing.rect, &enemy.rect);
    ContactSparks(&purpleRGB, enemy.realRect, wing.realRect, vertical);
    KeepShield(enemy);
  }
  BlastEnemy(char(e), &wing.realRect, 0, 0);
  BlastWing(char(w));
}

static void MeteorMeteor(int i, int j) {
  Meteor& a = _METEOR[i];
  Meteor& b = _METEOR[j];
  PlayAt(&bumpSND, &a.realRect);
  ForceRect(&a.realRect, &b.realRect, 1);
  Recentre(a, meteorSIZE[a.kind]);
  Recentre(b, meteorSIZE[b.kind]);
  bool vertical = OrientRects(&a.rect, &b.rect);
  Exchange(a, b, vertical);
  ContactSparks(&orangeRGB, a.realRect, b.realRect, vertical);
  UpdateSpriteLocs(&a);
  UpdateSpriteLocs(&b);
}

static void MeteorEnemy(int mi, int ei) {
  Meteor& m = _METEOR[mi];
  Enemy& e = _ENEMY[ei];
  if (e.enemyState == 3) {
    ForceRect(&m.realRect, &e.realRect, 0);
    Recentre(m, meteorSIZE[m.kind]);
    bool vertical = OrientRects(&m.rect, &e.rect);
    *Axis(m, vertical) = *Axis(e, vertical);
    ContactSparks(&purpleRGB, e.realRect, m.realRect, vertical);
    BlastEnemy(char(ei), &m.realRect, 0, 0);
    m.DoFlash(&whiteFlashCOLOR);
    UpdateSpriteLocs(&e);
    UpdateSpriteLocs(&m);
    return;
  }
  bool vertical = OrientRects(&m.rect, &e.rect);
  *Axis(m, vertical) = *Axis(e, vertical);
  BlastEnemy(char(ei), &m.realRect, 0, 0);
  m.DoFlash(&whiteFlashCOLOR);
}

static void ShipShip() {
  Player& a = _PLAYER[0];
  Player& b = _PLAYER[1];
  if (ForceRect(&a.rect, &b.rect, 1)) {
    UpdateSpriteLocs(&a);
    UpdateSpriteLocs(&b);
  }
  bool vertical = OrientRects(&a.rect, &b.rect);
  float va = *Axis(a, vertical), vb = *Axis(b, vertical);
  if (va < -2.0 || va > 2.0 || vb < -2.0 || vb > 2.0) {
    Metal(&a.rect);
    ContactSparks(&orangeRGB, a.rect, b.rect, vertical);
  }
  Exchange(a, b, vertical);
}

static void ShipEnemy(int p, int ei) {
  Player& ship = _PLAYER[p];
  Enemy& e = _ENEMY[ei];
  bool vertical = OrientRects(&ship.rect, &e.realRect);
  if (e.enemyState == 3) {
    ContactSparks(&purpleRGB, e.realRect, ship.rect, vertical);
    KnockBack(ship, e.realRect, vertical);
    AdjustShield(char(p), -4);
  } else {
    KnockBack(ship, e.realRect, vertical);
    AdjustShield(char(p), -3);
  }
  BlastEnemy(char(ei), &ship.rect, 0, 0);
  ship.DoFlash(&whiteFlashCOLOR);
}

// After a knock-back, a body left at rest on the contact axis moves 1.0 away
// from the ship.
static void MoveAway(float* v, const Player& ship, bool vertical) {
  if (*v != 0.0f) return;
  float pushed = vertical ? ship.velY : ship.velX;
  *v = pushed > 0 ? -1.0f : 1.0f;
}

static void ShipMeteor(int p, int mi) {
  Player& ship = _PLAYER[p];
  Meteor& m = _METEOR[mi];
  PlayAt(&bumpSND, &ship.rect);
  bool vertical = OrientRects(&ship.rect, &m.realRect);
  *Axis(m, vertical) = *Axis(ship, vertical) / 2;
  KnockBack(ship, m.realRect, vertical);
  MoveAway(Axis(m, vertical), ship, vertical);
  ContactSparks(&orangeRGB, m.realRect, ship.rect, vertical);
  ship.DoFlash(&whiteFlashCOLOR);
  m.DoFlash(&whiteFlashCOLOR);
  AdjustShield(char(p), SInt16(m.kind - 3));
}

static void ShipBoss(int p) {
  Player& ship = _PLAYER[p];
  Boss& b = BOSS;
  // The collision rectangle moves clear of the ship, keeping its size; the
  // drawing rectangle follows by the same offset.
  Rect saved = b.realRect;
  ForceRect(&b.realRect, &ship.rect, 0);
  SInt16 dh = SInt16(b.realRect.left - saved.left), dv = SInt16(b.realRect.top - saved.top);
  b.rect.left = SInt16(b.rect.left + dh);
  b.rect.right = SInt16(b.rect.right + dh);
  b.rect.top = SInt16(b.rect.top + dv);
  b.rect.bottom = SInt16(b.rect.bottom + dv);
  bool vertical = OrientRects(&ship.rect, &b.realRect);
  ContactSparks(&orangeRGB, ship.rect, b.realRect, vertical);
  *Axis(b, vertical) = *Axis(ship, vertical);
  KnockBack(ship, b.realRect, vertical);
  MoveAway(Axis(b, vertical), ship, vertical);
  UpdateSpriteLocs(&b);
  UpdateSpriteLocs(&ship);
  Metal(&b.rect, 0.25f);
  if (ship.graceCount == 0) {
    AdjustShield(char(p), -2);
    ship.DoFlash(&whiteFlashCOLOR);
    ship.graceCount = 25;
  }
  b.targetVelX = b.velX;
  b.targetVelY = b.velY;
}

void DoCollisions() {
  for (int i = kEnemies - 1; i >= 0; i--)
    for (int j = kEnemies - 1; j >= 0; j--)
      if (i != j && EnemyOn(_ENEMY[i]) && EnemyOn(_ENEMY[j]) && RectsOverlap(_ENEMY[i].realRect, _ENEMY[j].realRect))
        EnemyEnemy(i, j);
  for (int e = kEnemies - 1; e >= 0; e--)
    for (int w = kWings - 1; w >= 0; w--)
      if (EnemyOn(_ENEMY[e]) && WingOn(_WING[w]) && RectsOverlap(_ENEMY[e].realRect, _WING[w].realRect))
        EnemyWing(e, w);
  for (int i = kMeteors - 1; i >= 0; i--)
    for (int j = kMeteors - 1; j >= 0; j--) {
      Meteor& a = _METEOR[i];
      Meteor& b = _METEOR[j];
      if (i != j && a.on && b.on && a.state == 0 && b.state == 0 && RectsOverlap(a.realRect, b.realRect))
        MeteorMeteor(i, j);
    }
  for (int m = kMeteors - 1; m >= 0; m--)
    for (int e = kEnemies - 1; e >= 0; e--)
      if (MeteorOn(_METEOR[m]) && EnemyOn(_ENEMY[e]) && RectsOverlap(_METEOR[m].realRect, _ENEMY[e].realRect))
        MeteorEnemy(m, e);
  for (int m = kMeteors - 1; m >= 0; m--)
    for (int w = kWings - 1; w >= 0; w--) {
      Meteor& met = _METEOR[m];
      Object& wing = _WING[w];
      if (!MeteorOn(met) || !WingOn(wing) || !RectsOverlap(met.realRect, wing.realRect)) continue;
      bool vertical = OrientRects(&met.rect, &wing.rect);
      *Axis(met, vertical) = *Axis(wing, vertical);
      BlastWing(char(w));
      met.DoFlash(&whiteFlashCOLOR);
    }
  for (int i = kWings - 1; i >= 0; i--)
    for (int j = kWings - 1; j >= 0; j--) {
      Object& a = _WING[i];
      Object& b = _WING[j];
      if (i != j && a.on && b.on && a.state == 0 && b.state == 0 && RectsOverlap(a.realRect, b.realRect)) {
        BlastWing(char(i));
        BlastWing(char(j));
      }
    }
  if (ShipHittable(0) && ShipHittable(1) && RectsOverlap(_PLAYER[0].rect, _PLAYER[1].rect)) ShipShip();
  for (int p = 1; p >= 0; p--)
    for (int w = kWings - 1; w >= 0; w--) {
      Player& ship = _PLAYER[p];
      Object& wing = _WING[w];
      if (!ShipHittable(p) || !WingOn(wing) || !RectsOverlap(ship.rect, wing.realRect)) continue;
      bool vertical = OrientRects(&ship.rect, &wing.realRect);
      KnockBack(ship, wing.realRect, vertical);
      BlastWing(char(w));
      ship.DoFlash(&whiteFlashCOLOR);
      AdjustShield(char(p), -2);
    }
  for (int p = 1; p >= 0; p--)
    for (int e = kEnemies - 1; e >= 0; e--)
      if (ShipHittable(p) && EnemyOn(_ENEMY[e]) && RectsOverlap(_PLAYER[p].rect, _ENEMY[e].realRect)) ShipEnemy(p, e);
  for (int p = 1; p >= 0; p--)
    for (int m = kMeteors - 1; m >= 0; m--)
      if (ShipHittable(p) && MeteorOn(_METEOR[m]) && RectsOverlap(_PLAYER[p].rect, _METEOR[m].realRect))
        ShipMeteor(p, m);
  for (int p = 1; p >= 0; p--) {
    Player& ship = _PLAYER[p];
    if (ship.on && ship.dying != 1 && BOSS.on && BOSS.state != 1 && RectsOverlap(ship.rect, BOSS.realRect)) ShipBoss(p);
  }
}
