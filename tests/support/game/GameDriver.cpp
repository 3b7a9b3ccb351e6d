#include "support/game/GameDriver.h"

#include <cmath>
#include <cstring>
#include <sstream>

#include "foundation/Random.h"
#include "game/GameServices.h"

namespace gamedriver {

static UInt8 held[10];

void FillTrigTables() {
  for (int d = 0; d < 360; d++) {
    double a = d * 3.14159265358979323846 / 180.0;
    cosTABLE[d] = SInt32(std::lround(256.0 * std::cos(a)));
    sinTABLE[d] = SInt32(std::lround(256.0 * std::sin(a)));
  }
}

static void SetColor(RGBColorF* c, float r, float g, float b) {
  c->red = r;
  c->green = g;
  c->blue = b;
}

void SetupColors() {
  SetColor(&playerRGB[0], 0.0f, 1.0f, 0.682353f);
  SetColor(&playerRGB[1], 0.0f, 1.0f, 1.0f);
  SetColor(&orangeRGB, 1.0f, 0.75f, 0.0f);
  SetColor(&enemyRGB, 0.75f, 1.0f, 0.0f);
  SetColor(&goldRGB, 1.0f, 0.9f, 0.0f);
  SetColor(&purpleRGB, 1.0f, 0.0f, 1.0f);
  SetColor(&plasmaRGB[0], 1.0f, 0.0f, 0.78f);
  SetColor(&plasmaRGB[1], 1.0f, 0.0f, 0.0f);
  SetColor(&plasmaRGB[2], 0.0f, 0.0f, 1.0f);
  whiteFlashCOLOR.red = whiteFlashCOLOR.green = whiteFlashCOLOR.blue = 1.5f;
  whiteFlashCOLOR.alpha = 1.0f;
}

void Begin(UInt32 seed) {
  ResetGameObjects();
  FillTrigTables();
  SetupColors();
  ReleaseAll();
  randomSEED = seed;
  animateDELAY = 0.0f;
  // The main screen fades the picture out before it starts a game.
  Darker_GL(255);
  StartGame();
}

void Hold(int player, Action action) { held[2 * action + player] = 1; }
void Release(int player, Action action) { held[2 * action + player] = 0; }
void ReleaseAll() { std::memset(held, 0, sizeof held); }
const UInt8* Held() { return held; }

void Step() {
  for (int b = 0; b < 10; b++)
    if (held[b]) mainINPUT[b] = 1;
  HandleGame();
  animateDELAY += 1.0f;
  if (animateDELAY >= 3.0f) animateDELAY = 0.0f;
}

void Steps(int n) {
  for (int i = 0; i < n; i++) Step();
}

void Pilot(int p, int step) {
  Player& ship = _PLAYER[p];
  SInt16 x = CenterH(ship.rect);
  SInt16 target = SInt16(p ? 420 : 220);
  SInt16 highest = 1000;
  for (const Enemy& e : _ENEMY)
    if (e.flying && e.enemyState != 1 && e.rect.top < highest) highest = e.rect.top, target = CenterH(e.rect);
  if (BOSS.on && BOSS.state == 0) target = SInt16(CenterH(BOSS.realRect) + (p ? 8 : -8));
  auto dodge = [&](const Rect& r, SInt16 reach) {
    SInt16 dx = SInt16(CenterH(r) - x);
    if (r.bottom > ship.rect.top - reach && r.top < ship.rect.bottom && dx > -44 && dx < 44) {
      // Step aside, toward the side with room.
      SInt16 away = SInt16(dx > 0 ? CenterH(r) - 80 : CenterH(r) + 80);
      if (away < 40 || away > 600) away = SInt16(dx > 0 ? CenterH(r) + 80 : CenterH(r) - 80);
      target = away;
    }
  };
  for (const Enemy& e : _ENEMY)
    if (e.flying) dodge(e.rect, 140);
  for (const Meteor& m : _METEOR)
    if (m.on) dodge(m.rect, 120);
  for (const Shot& s : enemySHOT)
    if (s.on && !(BOSS.on && s.kind == 0)) dodge(s.rect, 90);
  for (const Shot& s : SHOT[p])
    if (s.on && s.velY > 0) dodge(s.rect, 90);
  if (x < target - 3) Hold(p, kRight);
  if (x > target + 3) Hold(p, kLeft);
  Hold(p, kDown);
  // A shield above would send the shot back.
  for (const Enemy& e : _ENEMY)
    if (e.flying && e.enemyState == 3 && CenterH(e.rect) - x > -30 && CenterH(e.rect) - x < 30) return;
  if (step % 6 == p * 3) Hold(p, kFire);
}

// FNV-1a over the values, field by field (never over padding).
struct Digest {
  uint64_t h = 1469598103934665603ull;
  void Bytes(const void* p, size_t n) {
    const unsigned char* b = static_cast<const unsigned char*>(p);
    for (size_t i = 0; i < n; i++) h = (h ^ b[i]) * 1099511628211ull;
  }
  template <class T>
  void Add(const T& v) {
    Bytes(&v, sizeof v);
  }
  void Add(const Rect& r) { Add(r.top), Add(r.left), Add(r.bottom), Add(r.right); }
  void Sprite(const MSSprite& s) {
    Add(s.on), Add(s.rect), Add(s.realRect), Add(s.frame), Add(s.angle);
    Add(s.centerX), Add(s.centerY), Add(s.velX), Add(s.velY), Add(s.targetVelX), Add(s.targetVelY);
    Add(s.flashOn), Add(s.alpha), Add(s.scale), Add(s.scale2), Add(s.spin), Add(s.pulseDir);
    Add(s.state), Add(s.kind), Add(s.hits), Add(s.direction);
  }
  void Row(const StatusArray& row) {
    Add(row.current), Add(row.target);
    for (UInt32 i = 0; i < row.on.Size(); i++) Add(row.on[i]), Add(row.glow[i]);
  }
};

uint64_t StateDigest() {
  Digest d;
  for (const Player& p : _PLAYER) {
    d.Sprite(p);
    d.Add(p.dying), d.Add(p.graceCount), d.Add(p.bankTarget), d.Add(p.respawn), d.Add(p.deathTicks);
    d.Add(p.status.on), d.Add(p.status.bounds);
    d.Row(p.status.shield), d.Row(p.status.doubles), d.Row(p.status.bonus);
  }
  for (const Enemy& e : _ENEMY) {
    d.Sprite(e);
    d.Add(e.flying), d.Add(e.enemyState), d.Add(e.flipCount), d.Add(e.shieldCount), d.Add(e.targetBank),
        d.Add(e.lostWing);
  }
  for (const Meteor& m : _METEOR) d.Sprite(m), d.Add(m.spinUp), d.Add(m.turnRate);
  for (const Spark& s : _SPARK)
    d.Add(s.active), d.Add(s.x), d.Add(s.y), d.Add(s.angle), d.Add(s.speed), d.Add(s.alpha), d.Add(s.fade);
  for (const Object& o : _WING) d.Sprite(o), d.Add(o.side);
  for (const Object& o : _POD) d.Sprite(o);
  for (const MSSprite& g : _GLOW) d.Sprite(g);
  for (const SparkF& s : _STAR) d.Add(s.x), d.Add(s.y), d.Add(s.level), d.Add(s.direction);
  for (const auto& row : SHOT)
    for (const Shot& s : row) d.Sprite(s), d.Add(s.movingDown), d.Add(s.doubled);
  for (const Shot& s : enemySHOT) d.Sprite(s), d.Add(s.movingDown);
  for (const Object& o : EXPL) d.Sprite(o);
  for (const Object& o : POW) d.Sprite(o);
  d.Sprite(BOSS), d.Row(BOSS.energy);
  d.Sprite(whiteFLASH), d.Sprite(waveDISPLAY);
  d.Add(gamePLAY), d.Add(gameOVER), d.Add(waveNUM), d.Add(waveREADY), d.Add(waveFINISH), d.Add(bossWAVE);
  d.Add(bossDONE), d.Add(enemCOUNT), d.Add(curENEMS), d.Add(useENEMS), d.Add(stormACTIVE);
  d.Add(deathDELAY), d.Add(finishDELAY), d.Add(playerSCORE), d.Add(playerJOINED), d.Add(mainPLAYER);
  d.Add(curSLOW), d.Add(gameSLOW), d.Add(randomSEED), d.Add(Brightness_GL());
  return d.h;
}

std::string Describe() {
  std::ostringstream out;
  out << "wave " << int(waveNUM) << " enemCOUNT " << enemCOUNT << " curENEMS " << int(curENEMS) << " scores "
      << playerSCORE[0] << "/" << playerSCORE[1] << " ships " << int(_PLAYER[0].on) << "/" << int(_PLAYER[1].on)
      << " boss " << int(BOSS.on) << " gameOVER " << int(gameOVER) << " seed " << randomSEED;
  return out.str();
}

}  // namespace gamedriver
