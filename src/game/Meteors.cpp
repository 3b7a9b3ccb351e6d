#include "game/GameInternal.h"

static const double kUnit = 0.33334;
static const float kTurn = float(1.33336);

static UInt32 RemainderOr0(UInt32 n) { return n ? GameRandom() % n : 0; }

void ClearMeteors() {
  for (int i = kMeteors - 1; i >= 0; i--) _METEOR[i].on = 0;
}

static void PlaceCollision(Meteor& m, SInt16 s) {
  m.realRect.left = SInt16(CenterH(m.rect) - s / 2);
  m.realRect.top = SInt16(CenterV(m.rect) - s / 2);
  m.realRect.right = SInt16(m.realRect.left + s);
  m.realRect.bottom = SInt16(m.realRect.top + s);
}

static bool Crowded(int slot, const Rect& r, bool enemies) {
  if (enemies)
    for (int j = kEnemies - 1; j >= 0; j--)
      if (_ENEMY[j].flying && RectsOverlap(r, _ENEMY[j].realRect)) return true;
  for (int j = kMeteors - 1; j >= 0; j--)
    if (j != slot && _METEOR[j].on && RectsOverlap(r, _METEOR[j].realRect)) return true;
  return false;
}

static int FirstFree() {
  for (int i = 0; i < kMeteors; i++)
    if (!_METEOR[i].on) return i;
  return -1;
}

void DoMeteor() {
  int slot = FirstFree();
  if (slot < 0) return;
  Meteor& m = _METEOR[slot];
  UInt8 size = UInt8(GameRandom() % 3);
  SInt16 s = meteorSIZE[size];
  const Rect& view = viewRECT;
  SInt16 w = SInt16(view.right - view.left), h = SInt16(view.bottom - view.top);
  UInt32 edge = GameRandom() % 3;
  SInt32 vx, vy;
  Rect r;
  if (edge == 0) {
    r.left = SInt16(view.left - s);
    r.top = SInt16(view.top + (h != s ? RemainderOr0(UInt32(h - s)) : 0));
    vx = SInt32((GameRandom() & 3) + 1);
    vy = SInt32((GameRandom() & 3) + 1);
  } else if (edge == 1) {
    r.left = SInt16(w != s ? RemainderOr0(UInt32(w - s)) : 0);
    r.top = SInt16(view.top - s);
    vx = SInt32(GameRandom() % 5);
    vy = SInt32((GameRandom() & 3) + 1);
    if ((GameRandom() & 1) == 0) vx = -vx;
  } else {
    r.left = view.right;
    r.top = SInt16(view.top + (h != s ? RemainderOr0(UInt32(h - s)) : 0));
    vx = 1 - SInt32(GameRandom() & 3);
    vy = SInt32((GameRandom() & 3) + 1);
  }
  r.right = SInt16(r.left + s);
  r.bottom = SInt16(r.top + s);
  m.kind = size;
  m.rect = r;
  PlaceCollision(m, s);
  if (Crowded(slot, m.realRect, true)) return;
  UpdateSpriteLocs(&m);
  m.velX = float(kUnit * vx);
  m.velY = float(kUnit * vy);
  m.oldRect = r;
  m.frame = SInt8(GameRandom() % 35);
  m.spinUp = UInt8(GameRandom() & 1);
  m.hits = UInt8(GameRandom() % UInt32(4 - size));
  m.state = 0;
  m.DoFlash(&whiteFlashCOLOR);
  m.on = 1;
  m.shade = 1.0f;
  m.turnRate = (GameRandom() & 1) ? kTurn : -kTurn;
}

void LaunchMeteor() {
  int slot = FirstFree();
  if (slot < 0) return;
  Meteor& m = _METEOR[slot];
  UInt8 size = UInt8((GameRandom() & 1) + 1);
  SInt16 s = meteorSIZE[size];
  Rect c;
  c.left = SInt16(CenterH(BOSS.rect) - s / 2);
  c.top = SInt16(BOSS.rect.bottom - s / 2 - 8);
  c.right = SInt16(c.left + s);
  c.bottom = SInt16(c.top + s);
  if (Crowded(slot, c, false)) return;
  m.kind = size;
  m.realRect = c;
  m.rect = SquareOn(c, s);
  PlayAt(SoundElement(shotSND, 1), &m.rect, 0.25f);
  m.oldRect = m.rect;
  m.frame = SInt8(GameRandom() % 35);
  m.spinUp = UInt8(GameRandom() & 1);
  m.hits = UInt8(GameRandom() % UInt32(4 - size));
  m.state = 0;
  m.DoFlash(&whiteFlashCOLOR);
  m.on = 1;
  m.velX = float(kUnit * ((GameRandom() & 3) + 1));
  if ((GameRandom() & 1) == 0) m.velX = -m.velX;
  m.velY = float(1.33336);
  m.shade = 1.0f;
  UpdateSpriteLocs(&m);
}

static void StartShower() {
  for (int e = kEnemies - 1; e >= 0; e--) {
    if (!_ENEMY[e].flying) continue;
    QuietAllChans();
    PlaySound_Game(&alarmSND, NextChan_Game(), nullptr, 1.0f, 1.0f, 0);
    stormACTIVE = 50;
    return;
  }
}

void MoveMeteors() {
  if (!waveREADY) return;
  bool joined = playerJOINED[0] || playerJOINED[1];
  if (AnimateStep()) {
    if (stormACTIVE)
      stormACTIVE--;
    else if (GameChance(stormFREQ) && enemCOUNT && !waveFINISH && joined)
      StartShower();
  }
  for (int i = 0; i < useMETEORS; i++)
    if (!_METEOR[i].on && joined && stormACTIVE > 0 && stormACTIVE <= 25) DoMeteor();
  for (int i = 0; i < kMeteors; i++) {
    Meteor& m = _METEOR[i];
    if (!m.on) continue;
    MoveSprite(&m);
    PlaceCollision(m, meteorSIZE[m.kind]);
    if (!RectsOverlap(m.rect, viewRECT)) m.on = 0;
  }
}

static const RGBColorF* HitterColor(unsigned char who) {
  if (who == 2) return &enemyRGB;
  if (who >= 3 && who <= 5) return &plasmaRGB[who - 3];
  return &playerRGB[who & 1];
}

void BlastMeteor(char index, Rect* hitter, unsigned char who, unsigned char power) {
  Meteor& m = _METEOR[int(index)];
  SInt16 f = SInt16(podFREQ);
  if (_PLAYER[0].on && _PLAYER[1].on) f = SInt16(f / 2);
  if (f < 2) f = 2;
  if (m.hits != 0 && !power) {
    PlayAt(&tapSND, hitter);
    DoSparks(16, 8, HitterColor(who), CenterH(*hitter), CenterV(*hitter));
    m.hits--;
    m.DoFlash(&whiteFlashCOLOR);
    return;
  }
  PlayAt(SoundElement(boomSND, 0), &m.rect);
  m.state = 1;
  m.frame = 0;
  m.hits = 255;
  InsetRectGame(&m.rect, -4, -4);
  SInt16 x = CenterH(m.rect), y = CenterV(m.rect);
  DoSparks(SInt16(32 - 8 * m.kind), char(16 - 4 * m.kind), &orangeRGB, x, y);
  if (who != 2 && m.kind == 0 && GameRandom() % UInt32(f) == 0) DoPow(x, y, m.velX, m.velY);
}

void AnimateMeteors() {
  for (int i = kMeteors - 1; i >= 0; i--) {
    Meteor& m = _METEOR[i];
    if (!m.on) continue;
    if (m.state == 0) {
      if (m.spinUp == 1)
        m.frame = SInt8(m.frame < 34 ? m.frame + 1 : 0);
      else
        m.frame = SInt8(m.frame > 0 ? m.frame - 1 : 34);
      SInt32 a = SInt32(m.angle + m.turnRate);
      while (a < 0) a += 360;
      while (a > 359) a -= 360;
      m.angle = SInt16(a);
    } else if (m.frame < 7) {
      m.frame++;
    } else {
      m.on = 0;
    }
  }
}

static float Toward(double v, bool negate) { return float(negate ? -v : v); }

void NewMeteor_Title(unsigned char scatter) {
  int slot = -1;
  for (int i = kMeteors - 1; i >= 0 && slot < 0; i--)
    if (!_METEOR[i].on) slot = i;
  if (slot < 0) return;
  Meteor& m = _METEOR[slot];
  UInt8 size = UInt8(GameRandom() % 3);
  m.kind = size;
  // The menu runs before any game has set meteorSIZE: the title rocks have
  // the same sizes, worked out here.
  SInt16 s = SInt16(16 + 8 * (2 - size));
  const Rect& view = viewRECT;
  SInt16 w = SInt16(view.right - view.left), h = SInt16(view.bottom - view.top);
  SInt16 midX = CenterH(view), midY = CenterV(view);
  Rect& r = m.rect;
  if (scatter) {
    r.left = SInt16(SInt32(RemainderOr0(UInt32(w))) - s / 2);
    r.top = SInt16(SInt32(RemainderOr0(UInt32(h))) - s / 2);
    r.right = SInt16(r.left + s);
    r.bottom = SInt16(r.top + s);
    double vx = kUnit * ((GameRandom() & 1) + 1);
    double vy = kUnit * ((GameRandom() & 1) + 1);
    m.velX = Toward(vx, CenterH(r) > midX);
    m.velY = Toward(vy, CenterV(r) > midY);
  } else {
    UInt32 edge = GameRandom() & 3;
    auto sideTop = [&] { return SInt16(view.top + (h != s ? RemainderOr0(UInt32(h - s)) : 0)); };
    auto endLeft = [&] { return SInt16(w != s ? RemainderOr0(UInt32(w - s)) : 0); };
    double vx = 0, vy = 0;
    if (edge == 0 || edge == 1) {
      r.left = edge == 0 ? SInt16(view.left - s) : view.right;
      r.top = sideTop();
      r.right = SInt16(r.left + s);
      r.bottom = SInt16(r.top + s);
      vx = edge == 0 ? kUnit * ((GameRandom() & 1) + 1) : kUnit * (-1.0 - (GameRandom() & 1));
      vy = kUnit * ((GameRandom() & 1) + 1);
      m.velX = float(vx);
      m.velY = Toward(vy, CenterV(r) > midY);
    } else {
      r.left = endLeft();
      r.top = edge == 2 ? SInt16(view.top - s) : view.bottom;
      r.right = SInt16(r.left + s);
      r.bottom = SInt16(r.top + s);
      vx = kUnit * ((GameRandom() & 1) + 1);
      m.velX = Toward(vx, CenterH(r) > midX);
      vy = edge == 2 ? kUnit * ((GameRandom() & 1) + 1) : kUnit * (-1.0 - (GameRandom() & 1));
      m.velY = float(vy);
    }
  }
  UpdateSpriteLocs(&m);
  m.frame = SInt8(GameRandom() % 35);
  m.spinUp = UInt8(GameRandom() & 1);
  m.state = 0;
  m.on = 1;
  m.angle = SInt16(GameRandom() % 360);
  m.turnRate = (GameRandom() & 1) ? kTurn : -kTurn;
  m.shade = float((GameRandom() % 10 + 5) / 20.0);
}

void MoveMeteors_Title() {
  int gone = 0;
  for (int i = kMeteors - 1; i >= 0; i--) {
    Meteor& m = _METEOR[i];
    if (!m.on) continue;
    MoveSprite(&m);
    if (!RectsOverlap(m.rect, kGameRect)) {
      m.on = 0;
      gone++;
    }
  }
  while (gone--) NewMeteor_Title(0);
}
