// One frame of the picture: the game scene while a game is played, then the
// open screens, the full-screen button and the white flash. Every element is
// a textured quad in the 640 by 480 port; a sprite's frame image first gets
// its tint, alpha, rotation and flip, which stay on the shared image until
// changed again.
#pragma once

#include "foundation/Colors.h"
#include "graphics/ImageGL.h"

struct StatusArray;
struct MSSprite;
struct Frame;

extern Rect pauseButtonRECT, exitButtonRECT;

void DrawEverything();
// What DrawEverything draws between the frame's begin and end.
void DrawPicture();
void DrawGame();
void DrawStars();
void DrawBoss();
void DrawShots();
void DrawPods();
void DrawPows();
void DrawWings();
void DrawEnemyShots();
void DrawEnemies();
void DrawMeteors();
void DrawExplosions();
void DrawPlayers();
void DrawSparks();
void DrawGlows();
void DrawStatus();
void DrawEnemyFlying(SInt16 i);
void DrawExplosion(Rect* r, char stage);
void DrawEngineGlow(Rect* r, RGBColorF* color, float alpha);
void DrawEngineGlow(RectF* r, RGBColorF* color, float alpha);
void DrawSpriteFlash(ImageGL* image, Rect* r, RGBAColorF* flash);
void DrawScore(char player);
void DrawStatusArray(StatusArray* row, ImageGL* image);
void DrawPauseButton();
// Draws frame `sprite->frame` of `frames` (of `count` pictures) over the
// sprite's rect; nothing for a sprite that is off or a frame out of range.
// The game's sprites name no frame array themselves (the simulation does not
// draw), so the caller gives it.
void DrawGameSprite(MSSprite* sprite, Frame* frames, int count);

void SetRect2(RectF* r, float x, float y, float w, float h);
void OffsetRectF(RectF* r, float dx, float dy);
