// The game simulation's operations. HandleGame is one 60 Hz step; the rest
// are the per-kind Do / Move / Animate / Adjust / Blast routines it runs.
// Move and Adjust routines run on every step, Animate routines (and the
// chances rolled inside Move routines) only on animation steps, every third
// one. Objects live in fixed arrays: a Do routine takes the first free slot
// and does nothing when there is none.
#pragma once

#include "game/GameObjects.h"

// Game step and wave flow.
// One step while a game plays (none while paused or frozen): slow motion,
// animation, movement, collisions, the wave's end and the game's end, which
// darkens the picture and opens the main screen.
void HandleGame();
// The boss that follows wave waveNUM: 1 (the blimp) after waves 3, 8,
// 13..., 0 (the boomerang) after waves 5, 10, 15...; -1 for none, and always
// -1 once a boss is done (bossDONE).
SInt8 NextWaveHasBoss();
// Starts a wave: the difficulty from waveNUM, then a boss of kind `boss` (its
// music too), or for -1 an ordinary wave (its enemy count doubled for two
// players who keep their own scores). Shots, sparks and ships are cleared;
// joined players come back when the wave is ready.
void ResetWave(char boss);
// Clears the playing field and the players for wave 1, scatters the stars and
// starts the first wave.
void SetupGame();
// Loads the game's resources, starts its music and a new game.
void StartGame();
// Stops the music and hands each joined player's score to the score table
// (not when quitting); the game stops playing.
void EndGame();
// Turns pause on or off (opening or closing the pause screen) with a blip;
// not while a screen is open, the game is over or the picture is not fully
// bright.
void PauseGame();
// Forgets every key and axis input.
void ClearInputs();
// The wave banner has faded enough: players waiting to come back are placed
// and enemies may start (not while a death ends the game).
void WaveReady();
// Shows the wave banner in the middle of the field (lower for a boss), with
// its sounds.
void DoWaveDisplay();
// Starts the white flash that a boss's end shows.
void DoWhiteFlash();
// Ends slow motion at once.
void ResetSlow();

// Players. `p` is the player, 0 or 1.
// Reads each ship's keys and axes into target speeds and eases its speed
// towards them.
void ShipActions();
// Moves the ships (a dying one's blast grows) and, on a fresh press of fire
// (not once the boss is done), fires or joins the player in.
void MovePlayers();
// Bounces the ships off the field's edges, keeps them inside and banks them
// by their speed.
void AdjustPlayers();
// The engine flicker, and a dying ship's fade; once gone it is off (halving
// what is left of the wave for two players who keep their own scores).
void AnimatePlayers();
// Fires one shot, or two while the player has doubles left (a firing costs
// one); no shot while the ship is dying or every shot is in flight.
void FireShot(char p);
// Brings a player into the game (not during a wave's end or after the
// game's end) with a full shield and the status bar sliding in.
void JoinPlayer(char p);
// Puts the ship back at the bottom, under its status bar, with a spell of
// grace in which nothing hits it.
void ResetPlayer(char p);
// Blows up the ship and starts the delay after which, with no ship left, the
// game ends. A ship not in play only starts that delay.
void KillPlayer(char p);
// Takes a full shield off every ship alive, which kills them (only while a
// game plays).
void KillBothPlayers();
// Moves the shield by `delta` cells; one that reaches none kills the player.
void AdjustShield(char p, SInt16 delta);
// Adds to the score of `p` (or the shared score), held to 0..9,999,999;
// nothing unless that ship is alive.
void AdjustScore(char p, SInt16 delta);

// Status displays.
// Places both players' status bars under the field (hidden, cells reset).
void SetupStatus();
// Places the cells of the player's shield, doubles and bonus rows in the bar.
void SetupStatusDisplays(char p);

// Enemies and their fire. `e` is the enemy's slot.
// Takes every enemy, wing, pod, explosion and enemy shot off the field.
void ClearEnemies();
// Brings an enemy in above the field at a random place, unless it would
// overlap another enemy or a meteor.
void DoEnemy();
// Starts enemies while the wave has them to give, moves every enemy, and on
// animation steps lets them fire or raise their shield.
void MoveEnemies();
// Steers and banks the flying enemies; a shielded one slows to a stop
// sideways.
void AdjustEnemies();
// The enemies' frames: engines, exploding (a bomb bursts into bolts),
// spinning, shield.
void AnimateEnemies();
// An enemy hit by `hitter`: near the middle (or spinning) it explodes and,
// with `pod`, may drop a pod or become a bomb; off the middle it spins, losing
// a wing (with `wing`, the wing flies off as a body of its own); a shielded
// one only bounces the hit.
void BlastEnemy(char e, Rect* hitter, unsigned char pod, unsigned char wing);
// Pushes a lost wing and its enemy apart so that they no longer overlap.
void SeperateWing(char e);
// The enemy fires its shot straight down (each enemy has one shot slot).
void FireEnemyShot(char e);
// A plasma bolt of colour 0 to 2 from (x, y) in a random direction (a
// colour-0 bolt always heads down and sounds, a colour-2 one is larger and
// wobbles). 1 when made, 0 when every enemy shot is in flight.
UInt8 FireBolt(SInt16 x, SInt16 y, char color);
// A bomb from (x, y) at speed (a, b) in units of a third of a pixel, in the
// first free enemy slot: it flips and bursts into bolts.
void DoPlasma(SInt16 x, SInt16 y, float a, float b);
// Moves the enemy shots and bolts and lets them hit meteors, ships, enemies
// and wings.
void MoveEnemyShots();

// Boss.
// Brings in the boss of `kind` (0 the boomerang, 1 the blimp) with its
// picture and an energy bar as long as the wave's hits.
void ResetBoss(unsigned char kind);
// Steers the boss and lets it attack; at no energy it starts its end
// (bossDONE, white flash) and then breaks up in explosions.
void MoveBoss();
// Bounces the boss off the field's edges, half as fast.
void AdjustBoss();
// Moves the flying boss to its next frame every second call.
void BossSteps();

// Meteors. `m` is the meteor's slot; `who` the hitter: 0 or 1 a player, 2 an
// enemy shot, 3 to 5 a bolt.
void ClearMeteors();
// Brings a meteor of a random size in from the left, top or right, unless it
// would overlap an enemy or another meteor.
void DoMeteor();
// The boss drops a meteor below itself.
void LaunchMeteor();
// Runs the meteor showers (an alarm, then meteors for a while) and moves the
// meteors.
void MoveMeteors();
// A meteor hit by `hitter`: it takes the hit while it has hits left (unless
// `power`), else explodes and, unless an enemy shot broke it, a large one may
// drop a power-up.
void BlastMeteor(char m, Rect* hitter, unsigned char who, unsigned char power);
// Spins the meteors; an exploded one runs its frames and goes.
void AnimateMeteors();
// A meteor for the title screen: anywhere on it with `scatter`, else coming
// in from an edge; a dimmer shade than the game's.
void NewMeteor_Title(unsigned char scatter);
// Moves the title's meteors, replacing each that leaves with a new one.
void MoveMeteors_Title();

// Sparks, glows and stars.
// Up to `count` sparks of a colour from (x, y) in random directions, of speed
// classes 1 to `speedClass`; nothing when effects are off.
void DoSparks(SInt16 count, char speedClass, const RGBColorF* color, SInt16 x, SInt16 y);
void MoveSparks();
// Fades the sparks and glows and twinkles the stars.
void AnimateSparks();
// A glow of a colour centred on (x, y), its picture scaled by `scale`,
// starting at `alpha`.
void DoGlow(SInt16 x, SInt16 y, const RGBColorF* color, float scale, float alpha);
// Scrolls the stars down; one that leaves comes back at the top.
void MoveStars();

// Pods, power-ups and wings.
// A pod at (x, y), dropped by the enemy of `slot` at its speed (nothing
// while that slot's pod is out).
void DoPod(char slot, SInt16 x, SInt16 y);
// A power-up at (x, y) moving at (vx, vy): a shield one a third of the time,
// else doubles.
void DoPow(SInt16 x, SInt16 y, float vx, float vy);
// The wing the enemy of `slot` lost, at (x, y), flying off to its side.
void DoWing(char slot, SInt16 x, SInt16 y);
// Blows up a wing.
void BlastWing(char slot);
// Move the pods and power-ups and let a ship collect them (a pod adds a
// bonus cell, a power-up shield or doubles); move the wings.
void MovePods();
void MovePows();
void MoveWings();
// The pods', power-ups' and wings' frames; pods and power-ups pulse.
void AnimatePods();
void AnimatePows();
void AnimateWings();
// Pulses the sprite's scale between 1 and 1.3.
void AnimateObjectGlow(MSSprite* s);
// Slides the status bars in and runs their cells; a full bonus row pays
// 10,000 points, a full shield and doubles.
void AnimateStatus();

// Explosions and interface effects.
// An explosion of `size` (0 large to 2 small) at (x, y) moving at (vx, vy),
// with sparks when asked; its rectangle, or null when none is free.
Rect* DoExplosion(char size, SInt16 x, SInt16 y, float vx, float vy, unsigned char sparks);
void MoveExplosions();
// Runs the explosions' frames (and the bolts').
void AnimateExplosions();
// Moves the wave banner (which makes the wave ready as it fades) and the
// white flash.
void MoveInterface();
// Flickers the boss's engine flame.
void AnimateBosses();

// Player shots and collisions.
// Moves the players' shots and lets them hit meteors, enemies, wings, their
// own ship (on the way back down), enemy shots (doubled shots) and the boss.
void MoveShots();
// Every collision between bodies: enemies, wings, meteors, ships and the
// boss.
void DoCollisions();
