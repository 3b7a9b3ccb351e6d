#include "game/GameInternal.h"

static const double kUnit = 0.33334;

// A picture with no size (missing or broken file) would leave the boss
// without a body that shots can reach; it takes the size it is drawn for.
static void BossSize(UInt8 kind, SInt16* w, SInt16* h) {
  *w = BossImageWidth();
  *h = BossImageHeight();
  if (*w > 0 && *h > 0) return;
  *w = kind == 0 ? 184 : 72;
  *h = kind == 0 ? 104 : 200;
}

static float Signed(float v) { return (GameRandom() & 1) == 0 ? -v : v; }

void ResetBoss(unsigned char kind) {
  LoadGameImage(&bossIMAGE, kind == 0 ? "Boomerang" : "Blimp", 1);
  SInt16 w, h;
  BossSize(kind, &w, &h);
  Boss& b = BOSS;
  SInt16 fieldH = SInt16(viewRECT.bottom - viewRECT.top);
  b.rect.left = SInt16(CenterH(viewRECT) - w / 2);
  b.rect.top = SInt16(0.4 * fieldH - h / 2);
  b.rect.right = SInt16(b.rect.left + w);
  b.rect.bottom = SInt16(b.rect.top + h);
  b.oldRect = b.rect;
  b.velX = b.velY = 0;
  b.targetVelX = float(kUnit * ((GameRandom() & 7) + 1));
  b.targetVelY = float(kUnit * ((GameRandom() & 7) + 1));
  b.targetVelX = Signed(b.targetVelX);
  b.targetVelY = Signed(b.targetVelY);
  b.on = 1;
  b.flashOn = 0;
  b.frame = 0;
  b.state = 0;
  b.kind = 1;
  b.hits = kind;
  b.energy.Init(char(hitsFREQ));
  b.energy.target = UInt8(hitsFREQ);
  SInt16 cx = CenterH(viewRECT);
  for (int i = 0; i < hitsFREQ; i++) {
    Rect& cell = b.energy.rect[i];
    cell.left = SInt16(cx - 4 * hitsFREQ + 8 * i);
    cell.right = SInt16(cell.left + 8);
    cell.top = SInt16(viewRECT.top + 4);
    cell.bottom = SInt16(viewRECT.top + 12);
  }
  UpdateSpriteLocs(&b);
}

static void Steer(float* vel, float base) {
  if (*vel < base) *vel += kUnit;
  if (*vel > base) *vel -= kUnit;
  const float limit = float(2.66672);
  if (*vel < -limit) *vel = -limit;
  if (*vel > limit) *vel = limit;
}

static float NewCourse() { return Signed(float(kUnit * (speedFREQ + (GameRandom() & 3) + 1))); }

static void FireBossShot(Boss& b) {
  Shot* s = nullptr;
  for (int i = 0; i < kEnemyShots && !s; i++)
    if (!enemySHOT[i].on) s = &enemySHOT[i];
  if (!s) return;
  const Rect& c = b.realRect;
  s->rect.left = SInt16(CenterH(c) - 8);
  s->rect.top = SInt16(c.bottom - 12 + (b.hits == 1 ? 8 : 20));
  s->rect.right = SInt16(s->rect.left + 16);
  s->rect.bottom = SInt16(s->rect.top + 24);
  DoGlow(CenterH(s->rect), CenterV(s->rect), &enemyRGB, 2.0f, 0.25f);
  PlayAt(SoundElement(shotSND, 1), &s->rect);
  s->oldRect = s->rect;
  s->velX = 0;
  s->velY = float(4.00008);
  s->frame = 0;
  s->movingDown = 1;
  s->on = 1;
  s->kind = 0;
  s->hits = 0;
  s->DoFlash(&whiteFlashCOLOR);
  UpdateSpriteLocs(s);
}

static void Attack(Boss& b) {
  const Rect& c = b.realRect;
  if (b.hits == 0 && (launchFREQ < 2 || GameChance(launchFREQ / 2)) && b.velY <= 0) {
    UInt32 s = GameRandom();
    SInt16 x = SInt16((s & 1) ? c.right - 60 : c.left + 60), y = SInt16(c.bottom + 20);
    if (FireBolt(x, y, 0)) DoGlow(x, y, &plasmaRGB[0], 2.0f, 0.25f);
  }
  if (GameChance(floatFREQ)) b.targetVelX = NewCourse();
  if (floatFREQ < 2 || GameChance(floatFREQ / 2)) b.targetVelY = NewCourse();
  if (GameChance(launchFREQ) && b.velY <= 0) LaunchMeteor();
  if (GameChance(3 * launchFREQ) && b.velY >= 0) {
    float a = Signed(float(GameRandom() % 5));
    SInt16 y = SInt16(c.top - 16);
    if (b.hits == 0) {
      UInt32 s = GameRandom();
      UInt32 t = GameRandom();
      DoPlasma(SInt16((s & 1) ? c.right - 60 : c.left + 60), y, a, -float(t % 5));
    } else {
      UInt32 t = GameRandom();
      DoPlasma(CenterH(c), y, a, -float(t % 5));
    }
  }
  if (GameChance(4 * launchFREQ) && b.velY >= 0) FireBossShot(b);
}

static void Explosion(Boss& b) {
  float ex = float(SInt32(((GameRandom() & 3) + 1) * kUnit));
  float ey = float(SInt32(((GameRandom() & 3) + 1) * kUnit));
  bool boomerang = b.hits == 0;
  SInt16 dx = SInt16(GameRandom() % (boomerang ? 92 : 36));
  SInt16 dy = SInt16(GameRandom() % (boomerang ? 52 : 100));
  if ((GameRandom() & 1) == 0) dx = SInt16(-dx);
  if ((GameRandom() & 1) == 0) dy = SInt16(-dy);
  if ((GameRandom() & 1) == 0) ex = -ex;
  if ((GameRandom() & 1) == 0) ey = -ey;
  char size = char(GameRandom() % 3);
  Rect* at = DoExplosion(size, SInt16(CenterH(b.realRect) + dx), SInt16(CenterV(b.realRect) + dy), ex, ey, 1);
  if (at) PlayAt(SoundElement(boomSND, 1), at);
  b.kind--;
}

void MoveBoss() {
  Boss& b = BOSS;
  if (!waveREADY || !b.on) return;
  if (b.state == 0 && b.energy.target == 0) {
    b.state = 1;
    b.kind = 25;
    bossDONE = 1;
    ResetSlow();
    DoWhiteFlash();
    return;
  }
  if (b.state == 0) {
    Steer(&b.velX, b.targetVelX);
    Steer(&b.velY, b.targetVelY);
    MoveSprite(&b);
    b.realRect = b.rect;
    InsetRectGame(&b.realRect, 8, 8);
    if (b.hits == 0) b.realRect.bottom = SInt16(b.realRect.bottom - 8);
    if (AnimateStep()) Attack(b);
    return;
  }
  if (!AnimateStep()) return;
  if (b.kind == 0) {
    b.on = 0;
    return;
  }
  Explosion(b);
}

void AdjustBoss() {
  Boss& b = BOSS;
  if (!b.on || b.state != 0) return;
  if (b.rect.left < viewRECT.left) {
    while (b.rect.left < viewRECT.left) OffsetSprite(&b, 1, 0);
    b.velX = float(b.velX / -2.0);
    b.targetVelX = -b.targetVelX;
  }
  if (b.rect.right > viewRECT.right) {
    while (b.rect.right > viewRECT.right) OffsetSprite(&b, -1, 0);
    b.velX = float(b.velX / -2.0);
    b.targetVelX = -b.targetVelX;
  }
  if (b.rect.top < viewRECT.top) {
    while (b.rect.top < viewRECT.top) OffsetSprite(&b, 0, 1);
    b.velY = float(b.velY / -2.0);
    b.targetVelY = -b.targetVelY;
  }
  if (b.rect.bottom > viewRECT.bottom) {
    while (b.rect.bottom > viewRECT.bottom) OffsetSprite(&b, 0, -1);
    b.velY = float(b.velY / -2.0);
    b.targetVelY = -b.targetVelY;
  }
}

void BossSteps() {
  Boss& b = BOSS;
  if (!b.on || b.state != 0) return;
  if (b.kind == 0) {
    b.frame = SInt8(b.frame >= 3 ? 0 : b.frame + 1);
    b.kind = 1;
  } else {
    b.kind--;
  }
}
