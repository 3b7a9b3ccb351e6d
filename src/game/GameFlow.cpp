#include <algorithm>

#include "game/GameInternal.h"

static bool AnyShipAlive() { return ShipAlive(0) || ShipAlive(1); }

// The picture's brightness as the game compares it (GLFader::Bright).
static SInt16 Bright() { return SInt16(Brightness_GL()); }

static void RunSlowMotion(bool* skip) {
  setSLOW = (BOSS.on && BOSS.state == 1) ? 6 : 0;
  if (curSLOW != setSLOW) {
    if (slowWAIT) {
      slowWAIT--;
    } else if (SInt8(curSLOW) < SInt8(setSLOW)) {
      curSLOW++;
      slowWAIT = 5;
    } else {
      curSLOW--;
      slowWAIT = 20;
    }
  }
  if (gameSLOW) {
    gameSLOW--;
    animateDELAY = 2.0f;
    *skip = true;
    return;
  }
  gameSLOW = curSLOW;
  *skip = false;
}

static bool WaveIsClear() {
  if (BOSS.on) return false;
  for (int i = 0; i < kMeteors; i++)
    if (_METEOR[i].on) return false;
  for (int i = 0; i < kEnemies; i++)
    if (_ENEMY[i].flying || _WING[i].on || EXPL[i].on || _POD[i].on) return false;
  return !POW[0].on && !POW[1].on;
}

// The wave end reads as one chain: the pause, then the darkening, then the
// next wave on the step after the picture has reached black.
static void RunWaveEnd() {
  if (!waveFINISH) {
    if (WaveIsClear()) {
      waveFINISH = 1;
      if (!bossDONE) finishDELAY = 25;
    }
    return;
  }
  bossWAVE = NextWaveHasBoss();
  if (finishDELAY) {
    finishDELAY--;
  } else if (Brightness_GL() > 0) {
    Darker_GL(2);
    if (bossWAVE >= 0 || bossDONE) SetMusicVolume(&gameMUSIC, Bright());
  } else if (!AnyShipAlive()) {
    gameOVER = 1;
  } else if (bossWAVE > -1 && !bossDONE) {
    ResetWave(char(bossWAVE));
  } else {
    if (waveNUM < 99) waveNUM++;
    ResetWave(-1);
  }
}

void HandleGame() {
  if (gamePLAY != 1 || gamePAUSE || gameFREEZE) return;
  bool skip;
  RunSlowMotion(&skip);
  if (skip) return;

  if (AnimateStep()) {
    AnimatePlayers();
    AnimateExplosions();
    AnimatePods();
    AnimatePows();
    AnimateWings();
    AnimateMeteors();
    AnimateEnemies();
    AnimateBosses();
    AnimateSparks();
    AnimateStatus();
  }

  ShipActions();
  MovePlayers();
  AdjustPlayers();
  MoveStars();
  MoveSparks();
  MoveShots();
  MoveMeteors();
  MoveEnemies();
  MoveEnemyShots();
  MoveWings();
  MoveExplosions();
  MovePods();
  MovePows();
  MoveBoss();
  MoveInterface();
  AdjustBoss();
  AdjustEnemies();
  DoCollisions();

  if (AnyShipAlive()) deathDELAY = 0;
  if (AnimateStep() && deathDELAY) {
    deathDELAY--;
    if (!deathDELAY) gameOVER = 1;
  }

  if (enemCOUNT == 0 && !gameOVER && !stormACTIVE) RunWaveEnd();

  if (gameOVER) {
    Darker_GL(2);
    SetMusicVolume(&gameMUSIC, Bright());
    if (Brightness_GL() == 0) {
      EndGame();
      MainScreen_Open();
      ResetSpeedManager();
      return;
    }
  } else if (!waveFINISH && Bright() < 255) {
    Brighter_GL(10);
    if (Brightness_GL() == 255) DoWaveDisplay();
  }
  ClearInputs();
}

SInt8 NextWaveHasBoss() {
  if ((waveNUM + 2) % 5 == 0 && !bossDONE) return 1;
  if (waveNUM % 5 == 0 && !bossDONE) return 0;
  return -1;
}

static UInt16 Clamp(SInt32 v, SInt32 lo, SInt32 hi) { return UInt16(std::clamp(v, lo, hi)); }

void ResetWave(char boss) {
  SInt32 t = waveNUM / 5;
  stormFREQ = Clamp(300 - 50 * t, 100, 300);
  shieldFREQ = Clamp(250 - 25 * t, 50, 250);
  shotFREQ = Clamp(100 - 10 * t, 20, 100);
  swerveFREQ = Clamp(50 - 10 * t, 10, 50);
  podFREQ = Clamp(t + 2, 2, 10);
  floatFREQ = Clamp(50 - 10 * t, 10, 50);
  speedFREQ = Clamp(t - 1, 0, 4);
  launchFREQ = Clamp(25 - 5 * t, 5, 25);
  hitsFREQ = Clamp(5 * t + 15, 15, 50);

  if (boss < 0) {
    if (bossDONE) {
      LoadMusic(&gameMUSIC, "Music/Game");
      SetMusicVolume(&gameMUSIC, 255);
      SetMusicLoop(&gameMUSIC, 1);
      PlayMusic(&gameMUSIC, 1);
    }
    stormACTIVE = 0;
    bossDONE = 0;
    useENEMS = useMETEORS = UInt8(std::min((waveNUM - 1) / 2 + 1, 8));
    enemCOUNT = UInt16(3 * waveNUM + 9);
    curENEMS = 0;
    if (_PLAYER[0].on && _PLAYER[1].on && !SharedScorePref()) enemCOUNT = UInt16(enemCOUNT * 2);
  } else {
    LoadMusic(&gameMUSIC, "Music/Boss");
    SetMusicVolume(&gameMUSIC, 255);
    SetMusicLoop(&gameMUSIC, 1);
    PlayMusic(&gameMUSIC, 1);
    ResetBoss(UInt8(boss));
  }

  waveFINISH = 0;
  waveREADY = 0;
  waveDISPLAY.on = 0;
  for (int i = 0; i < kSparks; i++) _SPARK[i].active = 0;
  for (int p = 1; p >= 0; p--) {
    Player& ship = _PLAYER[p];
    ship.on = 0;
    for (int i = 0; i < kShots; i++) SHOT[p][i].on = 0;
    if (playerJOINED[p] && ship.dying != 1) ship.respawn = 1;
  }
  for (int i = 0; i < kEnemyShots; i++) enemySHOT[i].on = 0;
  FlushKeyState();
}

void SetupGame() {
  viewRECT = kGameRect;
  viewRECT.bottom = SInt16(viewRECT.bottom - 32);
  SetupStatus();
  enemSIZE = 32;
  protectSIZE = 40;
  wingSIZE = 24;
  meteorSIZE[0] = 32, meteorSIZE[1] = 24, meteorSIZE[2] = 16;
  explSIZE[0] = 40, explSIZE[1] = 32, explSIZE[2] = 24;
  ClearMeteors();
  ClearEnemies();
  for (int p = 1; p >= 0; p--) {
    for (int i = 0; i < kShots; i++) SHOT[p][i].on = 0;
    _PLAYER[p].on = 0;
    POW[p].on = 0;
    playerJOINED[p] = 0;
    playerSCORE[p] = 0;
    _PLAYER[p].status.shield.Clear();
    _PLAYER[p].status.doubles.Clear();
    _PLAYER[p].status.bonus.Clear();
  }
  BOSS.on = 0;
  bossWAVE = -1;
  sparkGRAVITY = 1;
  gameOVER = 0;
  waveNUM = 1;
  if (!MusicOnPref()) LoadSound_Game(&waveSND, "Intro_Mono");

  UInt32 w = UInt32(viewRECT.right - viewRECT.left), h = UInt32(viewRECT.bottom - viewRECT.top);
  for (int i = kStars - 1; i >= 0; i--) {
    SparkF& star = _STAR[i];
    UInt32 rx = GameRandom();
    star.x = float(w ? rx % w : 0);
    UInt32 ry = GameRandom();
    star.y = float(h ? ry % h : 0);
    star.angle = UInt16(GameRandom() % 360);
    star.level = UInt8(GameRandom() & 7);
    star.direction = UInt8(GameRandom() & 1);
    star.random = UInt8(GameRandom() & 255);
    star.speed = float(0.33334 * ((star.random >> 6) + 1));
  }
  ResetWave(-1);
}

void StartGame() {
  LoadResources_Game();
  LoadMusic(&gameMUSIC, "Music/Game");
  Scores_ClearUpdates();
  gamePLAY = 1;
  gameOVER = gamePAUSE = gameFREEZE = gameSUSPEND = 0;
  deathDELAY = 0;
  SetupGame();
  ClearInputs();
  SetMusicLoop(&gameMUSIC, 1);
  SetMusicVolume(&gameMUSIC, 255);
  PlayMusic(&gameMUSIC, 1);
  ResetSpeedManager();
}

void EndGame() {
  StopMusic(&gameMUSIC);
  whiteFLASH.on = 0;
  // Only a player who joined has a result to place.
  if (!applQUIT)
    for (int p = 0; p < 2; p++)
      if (playerJOINED[p]) Scores_SetCheck(p, playerSCORE[p], waveNUM);
  gamePLAY = 0;
}

void PauseGame() {
  if (AnyScreenOpen() || gameOVER || Brightness_GL() != 255) return;
  gamePAUSE = !gamePAUSE;
  if (gamePAUSE) {
    PauseScreen_Open();
    ShowCursorGL();
  } else {
    PauseScreen_Close();
  }
  PlaySound_Game(&blipSND, NextChan_Game(), const_cast<Rect*>(&kGameRect), 1.0f, 1.0f, 0);
  if (gamePAUSE) ClearInputs();
}

void ClearInputs() {
  for (int b = 0; b < 2 * kInputActions; b++) mainINPUT[b] = 0;
  for (int p = 0; p < 2; p++) {
    SetInputAxis(p, 0, 0);
    SetInputAxis(p, 1, 0);
  }
  mainINPUT[kInputEscape] = mainINPUT[kInputReturn] = 0;
}

void WaveReady() {
  if (deathDELAY) return;
  for (int p = 1; p >= 0; p--)
    if (_PLAYER[p].respawn) ResetPlayer(char(p));
  waveREADY = 1;
}

void DoWaveDisplay() {
  Rect* centre = const_cast<Rect*>(&kGameRect);
  if (!MusicOnPref()) PlaySound_Game(&waveSND, NextChan_Game(), centre, 1.0f, BOSS.on ? 0.5f : 1.0f, 0);
  if (BOSS.on) PlaySound_Game(&superSND, NextChan_Game(), centre, 1.0f, 0.25f, 0);
  MSSprite& banner = waveDISPLAY;
  SInt16 w = SInt16(banner.rect.right - banner.rect.left), h = SInt16(banner.rect.bottom - banner.rect.top);
  banner.rect.left = SInt16(CenterH(viewRECT) - w / 2);
  banner.rect.top = SInt16(CenterV(viewRECT) - h / 2);
  banner.rect.right = SInt16(banner.rect.left + w);
  banner.rect.bottom = SInt16(banner.rect.top + h);
  UpdateSpriteLocs(&banner);
  banner.velY = 0;
  banner.on = 1;
  banner.alpha = 1.0f;
  banner.scale = 2.0f;
  banner.scale2 = 1.0f;
  if (BOSS.on) {
    double height = viewRECT.bottom - viewRECT.top;
    banner.centerY = float((BOSS.hits == 0 ? 0.7 : 0.8) * height);
  }
}

void DoWhiteFlash() {
  whiteFLASH.on = 1;
  whiteFLASH.alpha = 0.0f;
  whiteFLASH.direction = 1;
}

void ResetSlow() { curSLOW = setSLOW = slowWAIT = gameSLOW = 0; }
