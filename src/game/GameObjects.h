// The game's objects, their fixed pools and the shared game state. Nothing
// here is allocated while a game runs: every pool exists for the whole run
// and an object is in play while its "on" byte is set.
#pragma once

#include "foundation/Array.h"
#include "foundation/Colors.h"
#include "foundation/QK_MathUtils.h"
#include "platform/PlatformTypes.h"

// One row of status cells: a target count the game sets at once and a shown
// count that follows it one cell per animation step, with a glow per cell.
struct StatusArray {
  Array<Rect> rect;
  Array<char> glow;
  Array<unsigned char> on;
  UInt8 current = 0;
  UInt8 target = 0;

  void Init(char cells);
  void Clear();
  void Adjust(char delta);
  void Animate();
  UInt8 Cells() const { return UInt8(on.Size()); }
};

// A player's panel in the strip below the play field.
struct StatusBar {
  Rect bounds{};
  UInt8 on = 0;
  SInt8 slide = 0;
  StatusArray shield, doubles, bonus;
};

// The sprite fields the game uses. Game objects keep to this small base and
// stay out of the engine's sprite list: the simulation never draws.
struct GameSpriteBase {
  UInt8 on = 0;
  Rect rect{};       // drawing rectangle
  Rect oldRect{};    // previous rectangle
  Rect realRect{};   // collision rectangle
  SInt8 frame = 0;   // picture index, also an animation stage
  SInt16 angle = 0;  // whole degrees
  UInt8 active = 0;
  SInt8 direction = 0;  // the white flash's fade direction

  void SetOn(UInt8 flag) { on = flag; }
  void Activate() {
    on = 1;
    active = 1;
    oldRect = rect;
  }
};

struct MSSprite : GameSpriteBase {
  float centerX = 0, centerY = 0;
  float velX = 0, velY = 0;
  float targetVelX = 0, targetVelY = 0;
  UInt8 flashOn = 0;
  RGBColorF glowColor;
  RGBAColorF flashColor;
  float alpha = 1.0f;
  float scale = 1.0f;
  float spin = 0;
  float scale2 = 1.0f;
  SInt8 pulseDir = 0;
  UInt8 state = 0;
  UInt8 kind = 0;
  UInt8 hits = 0;

  void Reset();
  void DoFlash(const RGBAColorF* color) {
    flashColor = *color;
    flashOn = 1;
  }
};

struct Player : MSSprite {
  RectF deathRect{};
  Rect flameRect{};
  UInt8 bankTarget = 0;
  UInt8 graceCount = 0;
  UInt8 dying = 0;
  UInt8 movingH = 0, movingV = 0;
  UInt8 shotSide = 0, shotIndex = 0;
  UInt8 respawn = 0;
  UInt8 fireFlame = 0;
  UInt8 engineBlink = 0;
  SInt16 deathTicks = 0;
  StatusBar status;
};

struct Enemy : MSSprite {
  Rect muzzleRect{};
  UInt8 targetBank = 0;
  UInt8 flipCount = 0;
  UInt8 shieldCount = 0;
  UInt8 engineFlicker = 0;
  UInt8 fired = 0;
  UInt8 lostWing = 0;
  SInt32 enemyState = 0;  // 0 flying, 1 exploding, 2 spinning, 3 shielded
  UInt8 flying = 0;

  void Activate() { flying = 1; }
  void Deactivate(unsigned char count);
};

struct Meteor : MSSprite {
  UInt8 spinUp = 0;
  float turnRate = 0;
  float shade = 1.0f;
};

// kind is the bolt flag of an enemy shot and hits its colour.
struct Shot : MSSprite {
  UInt8 movingDown = 0;
  UInt8 doubled = 0;
};

struct Object : MSSprite {
  UInt8 side = 0;
};

// state 1 = beaten; kind counts explosions still to come (or an animation
// delay while fighting); hits is the boss kind: 0 "Boomerang", 1 "Blimp".
struct Boss : MSSprite {
  UInt8 flame = 0;
  StatusArray energy;
};

struct Spark {
  SInt32 x = 0, y = 0;  // 24.8 fixed point
  SInt32 speed = 0;
  UInt16 angle = 0;
  UInt8 speedClass = 0;
  UInt8 active = 0;
  UInt8 fades = 0;
  RGBAColorF color, startColor;
  float alpha = 0, fade = 0;
};

struct SparkF {
  float x = 0, y = 0, speed = 0;
  UInt16 angle = 0;
  UInt8 level = 0;
  UInt8 random = 0;
  UInt8 direction = 0;
  RGBAColorF color, startColor;
};

enum {
  kPlayers = 2,
  kEnemies = 8,
  kMeteors = 8,
  kSparks = 256,
  kWings = 8,
  kPods = 8,
  kGlows = 8,
  kStars = 64,
  kShots = 8,
  kEnemyShots = 8,
  kExplosions = 8,
  kPows = 2,
  kTitleStars = 512
};

extern Player _PLAYER[kPlayers];
extern Enemy _ENEMY[kEnemies];
extern Meteor _METEOR[kMeteors];
extern Spark _SPARK[kSparks];
extern Object _WING[kWings];
extern Object _POD[kPods];
extern MSSprite _GLOW[kGlows];
extern SparkF _STAR[kStars];
extern Shot SHOT[kPlayers][kShots];
extern Shot enemySHOT[kEnemyShots];
extern Object EXPL[kExplosions];
extern Object POW[kPows];
extern Boss BOSS;
extern MSSprite whiteFLASH;
extern MSSprite waveDISPLAY;
extern SparkF titleSTAR[kTitleStars];

// Colours; the front end's resource loading gives them their values.
extern RGBColorF playerRGB[2], orangeRGB, enemyRGB, goldRGB, purpleRGB, plasmaRGB[3];
extern RGBAColorF whiteFlashCOLOR;

extern UInt8 gamePLAY, gamePAUSE, gameFREEZE, gameSUSPEND, gameOVER;
extern SInt8 waveNUM;
extern UInt8 waveREADY, waveFINISH;
extern SInt8 bossWAVE;
extern UInt8 bossDONE;
// Wider than a byte so that late waves, doubled for two players, keep count.
extern UInt16 enemCOUNT;
extern UInt8 curENEMS, useENEMS, useMETEORS, stormACTIVE;
extern float animateDELAY;
extern UInt16 deathDELAY, finishDELAY;

// Input of this step: byte InputSlot(k, p) = 2k + p for action k of player
// p; kInputEscape and kInputReturn; then per player the vertical axis at
// 12 + 4p and the horizontal one at 14 + 4p (16-bit, InputAxis).
enum InputAction { kActionLeft, kActionRight, kActionUp, kActionDown, kActionFire, kInputActions };
enum { kInputEscape = 2 * kInputActions, kInputReturn, kInputAxes, kInputBytes = kInputAxes + 8 };
constexpr int InputSlot(int action, int player) { return 2 * action + player; }
extern UInt8 mainINPUT[kInputBytes];
SInt16 InputAxis(int player, int horizontal);
void SetInputAxis(int player, int horizontal, SInt16 value);

extern SInt32 playerSCORE[2];
extern UInt8 playerJOINED[2];
extern UInt8 fireTRIG[2];
extern SInt8 mainPLAYER;
extern UInt16 stormFREQ, shieldFREQ, shotFREQ, swerveFREQ, podFREQ, floatFREQ, speedFREQ, launchFREQ, hitsFREQ;
extern Rect viewRECT;
// The whole picture in game coordinates.
extern const Rect kGameRect;
extern UInt8 enemSIZE, protectSIZE, wingSIZE;
extern UInt8 meteorSIZE[3], explSIZE[3];
extern UInt8 sparkGRAVITY;
extern UInt8 shotBLINK;
extern UInt8 setSLOW, curSLOW, slowWAIT, gameSLOW;

// Sprite motion.
void MoveSprite(MSSprite* s);
void OffsetSprite(MSSprite* s, SInt16 dx, SInt16 dy);
void UpdateSpriteLocs(MSSprite* s);
Boolean ContainSprite(MSSprite* s, Rect* bounds);
Boolean OrientRects(const Rect* a, const Rect* b);
void InsetRectF(RectF* r, float dh, float dv);
void SetRectF(RectF* r, const Rect& from);

// Shrinks r by dh, dv on each side (negative values grow it).
void InsetRectGame(Rect* r, SInt16 dh, SInt16 dv);
// The overlap test of every hit and contact (foundation's RectsOverlap).
inline bool RectsOverlap(const Rect& a, const Rect& b) { return RectsOverlap(&a, &b); }
// left + (right - left) / 2 and top + (bottom - top) / 2.
SInt16 CenterH(const Rect& r);
SInt16 CenterV(const Rect& r);
// A square of side s centred on r.
Rect SquareOn(const Rect& r, SInt16 s);
// Puts every object pool and every game variable back as the program starts
// them, so that one process can play several games from a clean start.
void ResetGameObjects();
