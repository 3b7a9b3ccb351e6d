#include <cstdlib>
#include <cstring>
#include <new>

#include "foundation/QK_MathUtils.h"
#include "foundation/StringFunctions.h"
#include "game/GameInternal.h"

Player _PLAYER[kPlayers];
Enemy _ENEMY[kEnemies];
Meteor _METEOR[kMeteors];
Spark _SPARK[kSparks];
Object _WING[kWings];
Object _POD[kPods];
MSSprite _GLOW[kGlows];
SparkF _STAR[kStars];
Shot SHOT[kPlayers][kShots];
Shot enemySHOT[kEnemyShots];
Object EXPL[kExplosions];
Object POW[kPows];
Boss BOSS;
MSSprite whiteFLASH;
MSSprite waveDISPLAY;
SparkF titleSTAR[kTitleStars];

RGBColorF playerRGB[2], orangeRGB, enemyRGB, goldRGB, purpleRGB, plasmaRGB[3];
RGBAColorF whiteFlashCOLOR;

UInt8 gamePLAY, gamePAUSE, gameFREEZE, gameSUSPEND, gameOVER;
SInt8 waveNUM;
UInt8 waveREADY, waveFINISH;
SInt8 bossWAVE = -1;
UInt8 bossDONE;
UInt16 enemCOUNT;
UInt8 curENEMS, useENEMS, useMETEORS, stormACTIVE;
float animateDELAY;
UInt16 deathDELAY, finishDELAY;
UInt8 mainINPUT[kInputBytes];
SInt32 playerSCORE[2];
UInt8 playerJOINED[2];
UInt8 fireTRIG[2];
SInt8 mainPLAYER;
UInt16 stormFREQ, shieldFREQ, shotFREQ, swerveFREQ, podFREQ, floatFREQ, speedFREQ, launchFREQ, hitsFREQ;
Rect viewRECT;
const Rect kGameRect = {0, 0, 480, 640};
UInt8 enemSIZE, protectSIZE, wingSIZE;
UInt8 meteorSIZE[3], explSIZE[3];
UInt8 sparkGRAVITY;
UInt8 shotBLINK;
UInt8 setSLOW, curSLOW, slowWAIT, gameSLOW;

template <class T>
static void Renew(T& object) {
  object.~T();
  new (&object) T();
}

void ResetGameObjects() {
  for (Player& o : _PLAYER) Renew(o);
  for (Enemy& o : _ENEMY) Renew(o);
  for (Meteor& o : _METEOR) Renew(o);
  for (Spark& o : _SPARK) Renew(o);
  for (Object& o : _WING) Renew(o);
  for (Object& o : _POD) Renew(o);
  for (MSSprite& o : _GLOW) Renew(o);
  for (SparkF& o : _STAR) Renew(o);
  for (auto& row : SHOT)
    for (Shot& o : row) Renew(o);
  for (Shot& o : enemySHOT) Renew(o);
  for (Object& o : EXPL) Renew(o);
  for (Object& o : POW) Renew(o);
  Renew(BOSS);
  Renew(whiteFLASH);
  Renew(waveDISPLAY);
  gamePLAY = gamePAUSE = gameFREEZE = gameSUSPEND = gameOVER = 0;
  waveNUM = 0;
  waveREADY = waveFINISH = bossDONE = 0;
  bossWAVE = -1;
  enemCOUNT = 0;
  curENEMS = useENEMS = useMETEORS = stormACTIVE = 0;
  animateDELAY = 0;
  deathDELAY = finishDELAY = 0;
  std::memset(mainINPUT, 0, sizeof mainINPUT);
  playerSCORE[0] = playerSCORE[1] = 0;
  playerJOINED[0] = playerJOINED[1] = 0;
  fireTRIG[0] = fireTRIG[1] = 0;
  mainPLAYER = 0;
  setSLOW = curSLOW = slowWAIT = gameSLOW = 0;
  sparkGRAVITY = 0;
}

static int AxisOffset(int player, int horizontal) { return kInputAxes + 4 * player + (horizontal ? 2 : 0); }

SInt16 InputAxis(int player, int horizontal) {
  int at = AxisOffset(player, horizontal);
  return SInt16(UInt16(mainINPUT[at] | (mainINPUT[at + 1] << 8)));
}

void SetInputAxis(int player, int horizontal, SInt16 value) {
  int at = AxisOffset(player, horizontal);
  mainINPUT[at] = UInt8(UInt16(value) & 0xFF);
  mainINPUT[at + 1] = UInt8(UInt16(value) >> 8);
}

void MSSprite::Reset() {
  centerX = centerY = 0;
  velX = velY = 0;
  targetVelX = targetVelY = 0;
  flashOn = 0;
  flashColor.Reset();
  alpha = 1.0f;
  scale = 1.0f;
  scale2 = 1.0f;
  pulseDir = 0;
}

void Enemy::Deactivate(unsigned char count) {
  flying = 0;
  if (count) curENEMS--;
}

void MoveSprite(MSSprite* s) {
  s->centerX += s->velX;
  s->centerY += s->velY;
  SInt16 w = SInt16(s->rect.right - s->rect.left);
  SInt16 h = SInt16(s->rect.bottom - s->rect.top);
  // float minus an integer half: the subtraction stays in float.
  s->rect.left = SInt16(s->centerX - w / 2);
  s->rect.top = SInt16(s->centerY - h / 2);
  s->rect.right = SInt16(s->rect.left + w);
  s->rect.bottom = SInt16(s->rect.top + h);
}

void OffsetSprite(MSSprite* s, SInt16 dx, SInt16 dy) {
  s->centerX += dx;
  s->centerY += dy;
  s->rect.left = SInt16(s->rect.left + dx);
  s->rect.right = SInt16(s->rect.right + dx);
  s->rect.top = SInt16(s->rect.top + dy);
  s->rect.bottom = SInt16(s->rect.bottom + dy);
}

void UpdateSpriteLocs(MSSprite* s) {
  s->centerX = CenterH(s->rect);
  s->centerY = CenterV(s->rect);
}

Boolean ContainSprite(MSSprite* s, Rect* bounds) {
  if (!ContainRect(&s->rect, bounds)) return false;
  UpdateSpriteLocs(s);
  return true;
}

Boolean OrientRects(const Rect* a, const Rect* b) {
  SInt16 dh1 = SInt16(std::abs(a->right - b->left)), dh2 = SInt16(std::abs(b->right - a->left));
  SInt16 dv1 = SInt16(std::abs(a->bottom - b->top)), dv2 = SInt16(std::abs(b->bottom - a->top));
  return std::min(dh1, dh2) > std::min(dv1, dv2);
}

void InsetRectF(RectF* r, float dh, float dv) {
  r->left += dh;
  r->top += dv;
  r->right -= dh;
  r->bottom -= dv;
}

void SetRectF(RectF* r, const Rect& from) {
  r->top = from.top;
  r->left = from.left;
  r->bottom = from.bottom;
  r->right = from.right;
}

void InsetRectGame(Rect* r, SInt16 dh, SInt16 dv) {
  r->left = SInt16(r->left + dh);
  r->right = SInt16(r->right - dh);
  r->top = SInt16(r->top + dv);
  r->bottom = SInt16(r->bottom - dv);
}

SInt16 CenterH(const Rect& r) { return SInt16(r.left + (r.right - r.left) / 2); }
SInt16 CenterV(const Rect& r) { return SInt16(r.top + (r.bottom - r.top) / 2); }

Rect SquareOn(const Rect& r, SInt16 s) {
  Rect out;
  out.left = SInt16(CenterH(r) - s / 2);
  out.top = SInt16(CenterV(r) - s / 2);
  out.right = SInt16(out.left + s);
  out.bottom = SInt16(out.top + s);
  return out;
}

// Status rows.

static void NameArray(auto& array, const char* name) {
  Str255 text;
  CToPStr(name, text);
  array.SetName(text, -1);
}

void StatusArray::Init(char cells) {
  UInt32 n = UInt32(UInt8(cells));
  rect.ManualInit(n);
  glow.ManualInit(n);
  on.ManualInit(n);
  NameArray(rect, "rect");
  NameArray(glow, "glow");
  NameArray(on, "on");
  Clear();
}

void StatusArray::Clear() {
  current = target = 0;
  for (UInt32 i = 0; i < on.Size(); i++) {
    on[i] = 0;
    glow[i] = 0;
  }
}

void StatusArray::Adjust(char delta) {
  SInt8 t = SInt8(UInt8(target + delta));
  if (t < 0) t = 0;
  if (t > SInt32(Cells())) t = SInt8(Cells());
  target = UInt8(t);
}

void StatusArray::Animate() {
  if (current < target) {
    on[current] = 1;
    glow[current] = 48;
    current++;
  }
  if (current > target) {
    current--;
    on[current] = 0;
    glow[current] = 24;
  }
  for (UInt32 k = 0; k < on.Size(); k++) {
    if (on[k] == 0 && glow[k] > 9) glow[k] = char(glow[k] - 2);
    if (on[k] == 1 && glow[k] > 23) glow[k] = char(glow[k] - 2);
  }
}

void SetupStatus() {
  SInt16 c = SInt16(viewRECT.left + (viewRECT.right - viewRECT.left) / 2);
  SInt16 q = SInt16(c / 2);
  for (int p = 1; p >= 0; p--) {
    StatusBar& bar = _PLAYER[p].status;
    SInt16 centre = SInt16(p == 0 ? c - q : c + q);
    bar.bounds.left = SInt16(centre - 128);
    bar.bounds.right = SInt16(bar.bounds.left + 256);
    bar.bounds.top = viewRECT.bottom;
    bar.bounds.bottom = SInt16(bar.bounds.top + 32);
    bar.on = 0;
    bar.shield.Init(12);
    bar.doubles.Init(18);
    bar.bonus.Init(12);
    SetupStatusDisplays(char(p));
  }
}

static void PlaceCells(StatusArray& row, SInt16 left, SInt16 top) {
  for (UInt32 i = 0; i < row.rect.Size(); i++) {
    Rect& r = row.rect[i];
    r.left = SInt16(left + 8 * SInt16(i));
    r.top = top;
    r.right = SInt16(r.left + 8);
    r.bottom = SInt16(top + 8);
  }
}

void SetupStatusDisplays(char p) {
  StatusBar& bar = _PLAYER[int(p)].status;
  SInt16 T = bar.bounds.top, L = bar.bounds.left;
  PlaceCells(bar.shield, SInt16(L + 152), SInt16(T + 8));
  PlaceCells(bar.doubles, SInt16(L + 8), SInt16(T + 20));
  PlaceCells(bar.bonus, SInt16(L + 152), SInt16(T + 20));
}
