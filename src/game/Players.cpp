#include "game/GameInternal.h"

static const double kShipSpeed = 2.66672;

static void Ease(float* vel, float target) {
  if (*vel > target) {
    if (target < 0) {
      *vel -= 0.16667;
    } else {
      *vel -= 0.083335;
      if (*vel < 0) *vel = 0;
    }
  }
  if (target > *vel) {
    if (target > 0) {
      *vel += 0.16667;
    } else {
      *vel += 0.083335;
      if (*vel > 0) *vel = 0;
    }
  }
}

// One axis of input: digital keys set the full speed, an analogue axis a
// speed in proportion; both directions at once (or none) mean no input.
static UInt8 AxisInput(int p, int lessKey, int moreKey, int horizontal, float* target) {
  bool less = mainINPUT[InputSlot(lessKey, p)] != 0, more = mainINPUT[InputSlot(moreKey, p)] != 0;
  if (less) *target = float(-kShipSpeed);
  if (more) *target = float(kShipSpeed);
  SInt16 axis = InputAxis(p, horizontal);
  if (axis < 0) less = true;
  if (axis > 0) more = true;
  if (axis != 0) *target = float(0.33334 * axis);
  if (less != more) return 1;
  *target = 0;
  return 0;
}

void ShipActions() {
  for (int p = 1; p >= 0; p--) {
    Player& ship = _PLAYER[p];
    if (!ship.on || ship.dying == 1) continue;
    ship.movingH = ship.movingV = 0;
    if (AnimateStep() && ship.graceCount) ship.graceCount--;
    ship.movingH = AxisInput(p, 0, 1, 1, &ship.targetVelX);
    ship.movingV = AxisInput(p, 2, 3, 0, &ship.targetVelY);
    Ease(&ship.velX, ship.targetVelX);
    Ease(&ship.velY, ship.targetVelY);
  }
}

void MovePlayers() {
  for (int p = 1; p >= 0; p--) {
    Player& ship = _PLAYER[p];
    if (!ship.on) continue;
    if (ship.dying != 1)
      MoveSprite(&ship);
    else
      InsetRectF(&ship.deathRect, float(-2.66672), float(-1.33336));
  }
  if (bossDONE) return;
  for (int p = 1; p >= 0; p--) {
    if (!mainINPUT[InputSlot(kActionFire, p)]) {
      fireTRIG[p] = 0;
      continue;
    }
    if (!fireTRIG[p]) {
      if (_PLAYER[p].on)
        FireShot(char(p));
      else
        JoinPlayer(char(p));
    }
    fireTRIG[p] = 1;
  }
}

static UInt8 BankFor(SInt32 v, UInt8 current) {
  if (v >= -8 && v <= -2) return 0;
  if (v == -1) return 1;
  if (v == 0) return 2;
  if (v == 1) return 3;
  if (v >= 2 && v <= 8) return 4;
  return current;
}

void AdjustPlayers() {
  for (int p = 1; p >= 0; p--) {
    Player& ship = _PLAYER[p];
    if (!ShipAlive(p)) continue;
    if (ship.rect.left < viewRECT.left || ship.rect.right > viewRECT.right) ship.velX = 3 * (ship.velX / -4);
    if (ship.rect.top < viewRECT.top || ship.rect.bottom > viewRECT.bottom) ship.velY = 3 * (ship.velY / -4);
    ContainSprite(&ship, &viewRECT);
    ship.bankTarget = BankFor(SInt32(ship.velX), ship.bankTarget);
    if (ship.frame > SInt8(ship.bankTarget))
      ship.frame--;
    else if (ship.frame < SInt8(ship.bankTarget))
      ship.frame++;
  }
}

void AnimatePlayers() {
  for (int p = 1; p >= 0; p--) {
    Player& ship = _PLAYER[p];
    if (!ship.on) continue;
    if (ship.dying != 1) {
      ship.engineBlink = !ship.engineBlink;
      continue;
    }
    ship.deathTicks++;
    if (ship.deathTicks > 10) ship.alpha *= 0.9;
    if (ship.alpha <= 0.01) {
      bool both = _PLAYER[0].on && _PLAYER[1].on;
      ship.on = 0;
      if (both && !SharedScorePref()) enemCOUNT = UInt16(enemCOUNT / 2);
    }
  }
}

void FireShot(char p) {
  Player& ship = _PLAYER[int(p)];
  StatusArray& doubles = ship.status.doubles;
  UInt8 doubled = doubles.target > 0;
  if (doubled) doubles.target--;
  if (ship.dying == 1) return;
  int burst = doubled ? 2 : 1;
  for (int i = 0; i < burst; i++) {
    Shot* shot = nullptr;
    for (int s = 0; s < kShots && !shot; s++)
      if (!SHOT[int(p)][s].on) shot = &SHOT[int(p)][s];
    ship.shotSide = ship.shotIndex = UInt8(i);
    if (!shot) continue;
    if (i == 0) PlayAt(doubled ? &pshotSND : SoundElement(shotSND, 0), &ship.rect);
    ship.fireFlame = 1;
    Rect& r = shot->rect;
    r.left = SInt16(i == 0 ? ship.rect.left - 4 + 6 : ship.rect.right - 4 - 6);
    r.top = SInt16(ship.rect.top - 12 - 4);
    r.right = SInt16(r.left + 8);
    r.bottom = SInt16(r.top + 24);
    DoGlow(CenterH(r), SInt16(CenterV(r) + 8), &playerRGB[int(p)], 1.0f, 0.25f);
    UpdateSpriteLocs(shot);
    shot->oldRect = r;
    shot->velX = 0;
    shot->velY = float(-4.00008);
    shot->frame = 0;
    shot->movingDown = 0;
    shot->on = 1;
    shot->kind = 0;
    shot->flashOn = 0;
    shot->doubled = doubled;
    if (doubled) {
      ship.DoFlash(&whiteFlashCOLOR);
      shot->DoFlash(&whiteFlashCOLOR);
      DoSparks(8, 8, &playerRGB[0], CenterH(r), CenterV(r));
      ship.velY += 0.66668;
      ship.fireFlame = 2;
    }
  }
}

void JoinPlayer(char p) {
  if (playerJOINED[int(p)] || waveFINISH || gameOVER) return;
  int other = 1 - p;
  ResetPlayer(p);
  playerJOINED[int(p)] = 1;
  fireTRIG[int(p)] = 1;
  if (!ShipAlive(other)) {
    mainPLAYER = p;
    if (SharedScorePref() && playerJOINED[other]) {
      playerSCORE[int(p)] = playerSCORE[other];
      playerSCORE[other] = 0;
      AdjustScore(char(other), 0);
    }
  }
  Player& ship = _PLAYER[int(p)];
  QuietAllChans();
  PlayAt(&powerSND, &ship.status.bounds);
  AdjustShield(p, 12);
  if (_PLAYER[0].on && _PLAYER[1].on && !SharedScorePref()) enemCOUNT = UInt16(enemCOUNT * 2);
  StatusBar& bar = ship.status;
  bar.on = 1;
  SInt16 height = SInt16(bar.bounds.bottom - bar.bounds.top);
  bar.bounds.top = SInt16(bar.bounds.top + height);
  bar.bounds.bottom = SInt16(bar.bounds.bottom + height);
  bar.slide = -8;
  SetupStatusDisplays(p);
}

void ResetPlayer(char p) {
  Player& ship = _PLAYER[int(p)];
  ship.Reset();
  const Rect& panel = ship.status.bounds;
  ship.rect.left = SInt16(CenterH(panel) - 16);
  ship.rect.right = SInt16(ship.rect.left + 32);
  ship.rect.top = SInt16(viewRECT.bottom - 16 - 64);
  ship.rect.bottom = SInt16(ship.rect.top + 32);
  ship.Activate();
  ship.on = 1;
  ship.velX = ship.velY = 0;
  ship.dying = 0;
  ship.frame = 2;
  ship.graceCount = 50;
  ship.flashOn = ship.fireFlame = ship.respawn = 0;
  UpdateSpriteLocs(&ship);
}

void KillPlayer(char p) {
  Player& ship = _PLAYER[int(p)];
  SInt16 count = (_PLAYER[0].on && _PLAYER[1].on) ? 128 : 256;
  if (!ship.on) {
    deathDELAY = 1;
    return;
  }
  for (int n = 0; n < 2; n++) {
    QuietAllChans();
    PlayAt(SoundElement(boomSND, 1), &ship.rect);
  }
  static const RGBColorF white;
  sparkGRAVITY = 0;
  DoSparks(count, 32, &white, SInt16(ship.centerX), SInt16(ship.centerY));
  sparkGRAVITY = 1;
  int other = 1 - p;
  if (SharedScorePref() && p == mainPLAYER && ShipAlive(other)) {
    playerSCORE[other] = playerSCORE[int(p)];
    playerSCORE[int(p)] = 0;
    mainPLAYER = SInt8(other);
  }
  AdjustScore(p, 0);
  ship.status.shield.Clear();
  ship.status.doubles.Clear();
  ship.status.bonus.Clear();
  ship.dying = 1;
  ship.frame = 0;
  ship.deathTicks = 0;
  ship.alpha = 1.0f;
  ship.graceCount = 0;
  deathDELAY = 50;
  SetRectF(&ship.deathRect, ship.rect);
}

void KillBothPlayers() {
  if (!gamePLAY) return;
  for (int p = 1; p >= 0; p--)
    if (ShipAlive(p)) AdjustShield(char(p), -12);
}

void AdjustShield(char p, SInt16 delta) {
  StatusArray& shield = _PLAYER[int(p)].status.shield;
  shield.Adjust(char(delta));
  if (shield.target == 0) KillPlayer(p);
}

void AdjustScore(char p, SInt16 delta) {
  int who = SharedScorePref() ? mainPLAYER : p;
  if (!ShipAlive(who)) return;
  SInt32 score = playerSCORE[who] + delta;
  if (score < 0) score = 0;
  if (score > 9999999) score = 9999999;
  playerSCORE[who] = score;
}
