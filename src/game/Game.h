// The game simulation's operations. HandleGame is one 60 Hz step; the rest
// are the per-kind Do / Move / Animate / Adjust / Blast routines it runs.
#pragma once

#include "game/GameObjects.h"

// Game step and wave flow.
void HandleGame();
SInt8 NextWaveHasBoss();
void ResetWave(char boss);
void SetupGame();
void StartGame();
void EndGame();
void PauseGame();
void ClearInputs();
void WaveReady();
void DoWaveDisplay();
void DoWhiteFlash();
void ResetSlow();

// Players.
void ShipActions();
void MovePlayers();
void AdjustPlayers();
void AnimatePlayers();
void FireShot(char p);
void JoinPlayer(char p);
void ResetPlayer(char p);
void KillPlayer(char p);
void KillBothPlayers();
void AdjustShield(char p, SInt16 delta);
void AdjustScore(char p, SInt16 delta);

// Status displays.
void SetupStatus();
void SetupStatusDisplays(char p);

// Enemies and their fire.
void ClearEnemies();
void DoEnemy();
void MoveEnemies();
void AdjustEnemies();
void AnimateEnemies();
void BlastEnemy(char e, Rect* hitter, unsigned char pod, unsigned char wing);
void SeperateWing(char e);
void FireEnemyShot(char e);
UInt8 FireBolt(SInt16 x, SInt16 y, char color);
void DoPlasma(SInt16 x, SInt16 y, float a, float b);
void MoveEnemyShots();

// Boss.
void ResetBoss(unsigned char kind);
void MoveBoss();
void AdjustBoss();
void BossSteps();

// Meteors.
void ClearMeteors();
void DoMeteor();
void LaunchMeteor();
void MoveMeteors();
void BlastMeteor(char m, Rect* hitter, unsigned char who, unsigned char power);
void AnimateMeteors();
void NewMeteor_Title(unsigned char scatter);
void MoveMeteors_Title();

// Sparks, glows and stars.
void DoSparks(SInt16 count, char speedClass, const RGBColorF* color, SInt16 x, SInt16 y);
void MoveSparks();
void AnimateSparks();
void DoGlow(SInt16 x, SInt16 y, const RGBColorF* color, float scale, float alpha);
void MoveStars();

// Pods, power-ups and wings.
void DoPod(char slot, SInt16 x, SInt16 y);
void DoPow(SInt16 x, SInt16 y, float vx, float vy);
void DoWing(char slot, SInt16 x, SInt16 y);
void BlastWing(char slot);
void MovePods();
void MovePows();
void MoveWings();
void AnimatePods();
void AnimatePows();
void AnimateWings();
void AnimateObjectGlow(MSSprite* s);
void AnimateStatus();

// Explosions and interface effects.
Rect* DoExplosion(char size, SInt16 x, SInt16 y, float vx, float vy, unsigned char sparks);
void MoveExplosions();
void AnimateExplosions();
void MoveInterface();
void AnimateBosses();

// Player shots and collisions.
void MoveShots();
void DoCollisions();
