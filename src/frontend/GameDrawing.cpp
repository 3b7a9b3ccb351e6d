#include "frontend/GameDrawing.h"

#include <algorithm>
#include <cstdio>

#include "frontend/ApplicationHooks.h"
#include "frontend/GameFrames.h"
#include "frontend/MainLoop.h"
#include "frontend/Resources.h"
#include "frontend/screens/ScreenGL.h"
#include "game/GameObjects.h"
#include "graphics/GameWindow.h"
#include "graphics/OpenGLFrame.h"

Rect pauseButtonRECT, exitButtonRECT;

namespace {

// Strong enough over the dark sky for the label to read (above 4.5:1).
constexpr float kRestingLabelAlpha = 0.6f;

ImageGL& Image(Frame* array, int index) { return array[index].image; }

// A w by h rectangle centred on (cx, cy), the halves truncated.
Rect CenteredRect(SInt16 cx, SInt16 cy, SInt16 w, SInt16 h) {
  Rect r;
  SetRect2(&r, cx - SInt16(w / 2), cy - SInt16(h / 2), w, h);
  return r;
}

SInt16 CenterX(const Rect& r) { return SInt16(r.left + (r.right - r.left) / 2); }
SInt16 CenterY(const Rect& r) { return SInt16(r.top + (r.bottom - r.top) / 2); }

void Inset(Rect* r, SInt16 dh, SInt16 dv) {
  r->left = SInt16(r->left + dh);
  r->right = SInt16(r->right - dh);
  r->top = SInt16(r->top + dv);
  r->bottom = SInt16(r->bottom - dv);
}

void InsetF(RectF* r, float dh, float dv) {
  r->left += dh;
  r->right -= dh;
  r->top += dv;
  r->bottom -= dv;
}

// A sprite whose flash is on is drawn brightened once in its flash colour.
void DrawOrFlash(ImageGL* image, MSSprite& s) {
  if (s.flashOn) {
    DrawSpriteFlash(image, &s.rect, &s.flashColor);
    s.flashOn = 0;
  } else {
    image->Draw(&s.rect);
  }
}

void DrawPlayer(int i) {
  Player& p = _PLAYER[i];
  if (!p.dying) {
    RectF glow{float(p.rect.top), float(p.rect.left), float(p.rect.bottom), float(p.rect.right)};
    OffsetRectF(&glow, 0.5f, 15.0f);
    InsetF(&glow, 0.0f, 10.0f * p.velY);
    DrawEngineGlow(&glow, &playerRGB[i], 1.0f - 0.5f * p.engineBlink);
    ImageGL* ship = &Image(playerShipFRAME, 5 * i + p.frame);
    if (p.graceCount & 1) {
      ship->SetBright(0.5f);
      ship->Draw(&p.rect);
      ship->SetBright(1.0f);
    } else if (p.flashOn) {
      DrawSpriteFlash(ship, &p.rect, &p.flashColor);
      p.flashOn = 0;
    } else {
      RectF r;
      SetRect2(&r, p.centerX - 16.0f, p.centerY - 16.0f, 32.0f, 32.0f);
      ship->Draw(&r);
    }
    if (p.fireFlame >= 1) {
      SetRect2(&p.flameRect, p.rect.left + 2, p.rect.top, 8, 8);
      Image(playerFireFRAME, i).Draw(&p.flameRect);
    }
    if (p.fireFlame == 2) {
      SetRect2(&p.flameRect, p.rect.right - 10, p.rect.top, 8, 8);
      Image(playerFireFRAME, i).Draw(&p.flameRect);
    }
    p.fireFlame = 0;
  } else {
    if (p.deathTicks < 8) {
      SInt16 side = explSIZE[0];
      Rect r = CenteredRect(CenterX(p.rect), CenterY(p.rect), side, side);
      DrawExplosion(&r, char(p.deathTicks & 0xFF));
    }
    shockwaveIMAGE.alpha = p.alpha;
    shockwaveIMAGE.Draw(&p.deathRect);
  }
}

void DrawWaveBanner() {
  MSSprite& w = waveDISPLAY;
  float s = w.scale2;
  // The wave's label stays over the sky for the whole wave, at a quarter of
  // its strength: drawn so faint it cannot be read, so it rests no fainter
  // than kRestingLabelAlpha. The boss's label fades out as it should.
  const float alpha = BOSS.on ? w.alpha : std::max(w.alpha, kRestingLabelAlpha);
  auto tint = [&](ImageGL& img) {
    img.alpha = alpha;
    img.SetBright(w.scale);
  };
  ImageGL& word = Image(waveDisplayFRAME, 0);
  SInt16 h = SInt16(24 * s);
  if (!BOSS.on) {
    int tens = (waveNUM / 10) % 10, units = waveNUM % 10;
    float wt = (word.Width() + 36) * s;
    if (tens != 0) wt += 24 * s;
    SInt16 bw = SInt16(wt);
    Rect banner;
    SetRect2(&banner, SInt16(w.centerX - bw / 2), SInt16(w.centerY - h / 2), bw, h);
    Rect wr = banner;
    wr.right = SInt16(wr.left + SInt16(word.Width() * s));
    tint(word);
    word.DrawBright(&wr);
    Rect digit = banner;
    digit.left = SInt16(digit.right - h);
    ImageGL& u = Image(numberFRAME, units < 0 ? -units : units);
    tint(u);
    u.DrawBright(&digit);
    if (tens != 0) {
      digit.left = SInt16(digit.left - h);
      digit.right = SInt16(digit.right - h);
      ImageGL& t = Image(numberFRAME, tens < 0 ? -tens : tens);
      tint(t);
      t.DrawBright(&digit);
    }
  } else {
    ImageGL& boss = Image(bossDisplayFRAME, 0);
    SInt16 bw = SInt16((word.Width() + boss.Width() + 4) * s);
    Rect banner;
    SetRect2(&banner, SInt16(w.centerX - bw / 2), SInt16(w.centerY - h / 2), bw, h);
    Rect br = banner;
    br.right = SInt16(br.left + SInt16(boss.Width() * s));
    tint(boss);
    boss.DrawBright(&br);
    Rect wr = banner;
    wr.left = SInt16(wr.right - SInt16(word.Width() * s));
    tint(word);
    word.DrawBright(&wr);
  }
}

}  // namespace

void SetRect2(RectF* r, float x, float y, float w, float h) {
  r->left = x;
  r->top = y;
  r->right = x + w;
  r->bottom = y + h;
}

void OffsetRectF(RectF* r, float dx, float dy) {
  r->left += dx;
  r->right += dx;
  r->top += dy;
  r->bottom += dy;
}

void DrawEverything() {
  OpaqueGrafPtr port{};
  port.portRect = mainRECT;
  OpenGLBeginDraw(&port);
  DrawPicture();
  OpenGLEndDraw();
}

void DrawPicture() {
  DrawGame();
  DrawScreens();
  fullScreenBUTTON.Draw();
  mainCURS.Draw();
  if (whiteFLASH.on) {
    pixelIMAGE.SetBright(1.0f);
    pixelIMAGE.alpha = whiteFLASH.alpha;
    pixelIMAGE.Draw(&mainRECT);
  }
}

void DrawGame() {
  if (!gamePLAY) return;
  spaceIMAGE.Draw(&mainRECT);
  DrawStars();
  DrawBoss();
  DrawShots();
  DrawPods();
  DrawPows();
  DrawWings();
  DrawEnemyShots();
  DrawEnemies();
  DrawMeteors();
  DrawExplosions();
  DrawPlayers();
  DrawSparks();
  DrawGlows();
  DrawStatus();
}

void DrawStars() {
  float w = starIMAGE.Width();
  static ImageQuad quads[kStars];
  int n = 0;
  for (int i = kStars - 1; i >= 0; --i) {
    SparkF& s = _STAR[i];
    UInt8 level = UInt8(int(4 * (s.level + 4 - s.speed)));
    const float b = level / 31.0f;
    RectF r;
    SetRect2(&r, s.x, s.y, w, w);
    quads[n++] = ImageQuad{r, b, b, b, 1.0f};
  }
  DrawImageQuads(&starIMAGE, quads, n);
}

void DrawBoss() {
  if (!BOSS.on || BOSS.state != 0) return;
  int p = BOSS.flame;
  SInt16 cx = CenterX(BOSS.rect);
  ImageGL& flame = Image(bigFlameFRAME, 0);
  flame.alpha = 1.0f - 0.25f * p;
  if (BOSS.hits == 1) {
    SInt16 W = flame.Width(), H = flame.Height();
    Rect r;
    SetRect2(&r, cx - W / 2, BOSS.rect.top - H / 2 - 18, W, H);
    Inset(&r, SInt16(2 * p), SInt16(2 * p));
    flame.Draw(&r);
  } else if (BOSS.hits == 0) {
    SInt16 w = SInt16(0.5 * flame.Width()), h = SInt16(0.5 * flame.Height());
    SInt16 top = SInt16(BOSS.rect.top - h / 2 - 12);
    for (int side = 0; side < 2; ++side) {
      Rect r;
      SetRect2(&r, (side == 0 ? cx - 28 : cx + 28) - w / 2, top, w, h);
      Inset(&r, SInt16(2 * p), SInt16(2 * p));
      flame.mirrorH = side == 0;
      flame.Draw(&r);
    }
  } else {
    return;
  }
  DrawOrFlash(&bossIMAGE, BOSS);
}

void DrawShots() {
  for (int p = 0; p < kPlayers; ++p) {
    ImageGL& img = Image(playerShotFRAME, p);
    for (int s = 0; s < kShots; ++s) {
      Shot& shot = SHOT[p][s];
      if (!shot.on) continue;
      if (shot.flashOn && shotBLINK) {
        img.SetBright(1.5f);
        img.DrawBright(&shot.rect);
        shot.flashOn = 0;
      } else {
        img.SetBright(1.0f);
        img.Draw(&shot.rect);
      }
    }
  }
  shotBLINK = !shotBLINK;
}

void DrawPods() {
  for (int i = kPods - 1; i >= 0; --i) {
    Object& pod = _POD[i];
    if (!pod.on) continue;
    Rect r = pod.rect;
    Inset(&r, -2, -2);
    ImageGL& img = Image(podFRAME, pod.frame);
    img.SetBright(pod.scale);
    img.DrawBright(&r);
  }
}

void DrawPows() {
  for (int i = 0; i < kPows; ++i) {
    Object& pow = POW[i];
    if (!pow.on) continue;
    Rect r = pow.rect;
    Inset(&r, -2, -2);
    ImageGL& img = Image(pow.hits == 0 ? shieldPowFRAME : doublesPowFRAME, pow.frame);
    img.SetBright(pow.scale);
    img.DrawBright(&r);
  }
}

void DrawWings() {
  for (int i = kWings - 1; i >= 0; --i) {
    Object& wing = _WING[i];
    if (!wing.on) continue;
    if (wing.state == 0) {
      ImageGL& img = Image(enemyWingFRAME, wing.frame + 4 * wing.side);
      img.rotation = wing.angle;
      img.Draw(&wing.rect);
    } else if (wing.state == 1) {
      DrawExplosion(&wing.rect, wing.frame);
    }
  }
}

void DrawEnemyShots() {
  for (int i = 0; i < kEnemyShots; ++i) {
    Shot& s = enemySHOT[i];
    if (!s.on) continue;
    if (s.kind == 0) {
      DrawOrFlash(&Image(enemyShotFRAME, 0), s);
    } else {
      int g = s.hits;
      ImageGL& img = Image(plasmaFRAME, s.frame + 5 * g);
      if (s.frame != 0) {
        img.Draw(&s.rect);
      } else {
        img.SetBright(g == 0 ? 1.75f : g == 1 ? 1.5f : 1.25f);
        img.DrawBright(&s.rect);
      }
    }
  }
}

void DrawEnemies() {
  for (int i = kEnemies - 1; i >= 0; --i) {
    Enemy& e = _ENEMY[i];
    if (!e.flying) continue;
    switch (e.enemyState) {
      case 0: DrawEnemyFlying(SInt16(i)); break;
      case 1: DrawExplosion(&e.rect, e.frame); break;
      case 2: {
        ImageGL& img = Image(enemySpinFRAME, e.frame + 4 * e.lostWing);
        if (e.flashOn) {
          DrawOrFlash(&img, e);
        } else {
          img.rotation = e.angle;
          img.Draw(&e.rect);
        }
        break;
      }
      case 3: {
        Rect body = CenteredRect(CenterX(e.rect), CenterY(e.rect), 32, 32);
        Image(enemyFRAME, 2).Draw(&body);
        if (e.frame == 3) break;
        Rect shield = CenteredRect(CenterX(e.rect), CenterY(e.rect), 72, 72);
        ImageGL& img = Image(enemyShieldFRAME, 0);
        if (e.frame == 1) {
          img.alpha = 1.0f;
          img.Draw(&shield);
        } else if (e.frame == 2) {
          img.alpha = 0.75f;
          img.Draw(&shield);
        } else if (e.frame == 0) {
          img.alpha = 1.0f;
          img.SetBright(1.75f);
          img.DrawBright(&shield);
          img.SetBright(1.0f);
        }
        break;
      }
      default: break;
    }
  }
}

void DrawEnemyFlying(SInt16 i) {
  Enemy& e = _ENEMY[i];
  Rect glow = e.rect;
  glow.left = SInt16(glow.left + 1);
  glow.right = SInt16(glow.right + 1);
  glow.top = SInt16(glow.top - 14);
  glow.bottom = SInt16(glow.bottom - 14);
  Inset(&glow, 0, SInt16(-8 * e.velY));
  DrawEngineGlow(&glow, &enemyRGB, 1.0f - 0.5f * e.engineFlicker);
  Image(enemyFRAME, e.frame).Draw(&e.rect);
  if (e.fired) {
    SetRect2(&e.muzzleRect, CenterX(e.rect) - 8, e.rect.bottom, 16, 8);
    Image(enemyFireFRAME, 0).Draw(&e.muzzleRect);
    e.fired = 0;
  }
}

void DrawMeteors() {
  for (int i = kMeteors - 1; i >= 0; --i) {
    Meteor& m = _METEOR[i];
    if (!m.on) continue;
    if (m.state == 0) {
      ImageGL& img = Image(meteorFRAME, m.frame);
      img.rotation = m.angle;
      img.SetBright(m.shade);
      DrawOrFlash(&img, m);
      img.rotation = 0;
    } else if (m.state == 1) {
      DrawExplosion(&m.rect, m.frame);
    }
  }
}

void DrawExplosions() {
  for (int i = 0; i < kExplosions; ++i)
    if (EXPL[i].on) DrawExplosion(&EXPL[i].rect, EXPL[i].frame);
}

void DrawPlayers() {
  for (int i = kPlayers - 1; i >= 0; --i)
    if (_PLAYER[i].on) DrawPlayer(i);
}

void DrawSparks() {
  float w = sparkIMAGE.Width();
  static ImageQuad quads[kSparks];
  int n = 0;
  for (int i = kSparks - 1; i >= 0; --i) {
    Spark& s = _SPARK[i];
    if (!s.active) continue;
    Rect r = CenteredRect(SInt16(s.x >> 8), SInt16(s.y >> 8), SInt16(w), SInt16(w));
    quads[n++] = ImageQuad{RectF{float(r.top), float(r.left), float(r.bottom), float(r.right)}, s.color.red,
                           s.color.green, s.color.blue, s.alpha};
  }
  DrawImageQuads(&sparkIMAGE, quads, n);
}

void DrawGlows() {
  ImageGL& img = Image(glowFRAME, 0);
  for (int i = kGlows - 1; i >= 0; --i) {
    MSSprite& g = _GLOW[i];
    if (!g.on) continue;
    img.red = g.glowColor.red;
    img.green = g.glowColor.green;
    img.blue = g.glowColor.blue;
    img.alpha = g.alpha;
    img.Draw(&g.rect);
  }
}

void DrawStatus() {
  Rect strip = mainRECT;
  strip.top = viewRECT.bottom;
  fadeIMAGE.Draw(&strip);
  SInt16 stripW = SInt16(strip.right - strip.left);
  for (int i = 0; i < kPlayers; ++i) {
    if (playerJOINED[i]) continue;
    SInt16 w = SInt16(pressfireIMAGE.Width() / 1.6), h = SInt16(pressfireIMAGE.Height() / 1.6);
    Rect r;
    SetRect2(&r, SInt16(strip.left + (0.25 + 0.5 * i) * stripW - w / 2), CenterY(strip) - h / 2, w, h);
    pressfireIMAGE.Draw(&r);
  }
  if (BOSS.on) DrawStatusArray(&BOSS.energy, &Image(bossStatusFRAME, 0));
  for (int i = kPlayers - 1; i >= 0; --i) {
    StatusBar& bar = _PLAYER[i].status;
    if (!bar.on) continue;
    Rect r = bar.bounds;
    SInt16 w = SInt16(statusbarIMAGE[i].Width() / 1.6);
    r.left = SInt16(CenterX(bar.bounds) - w / 2);
    r.right = SInt16(r.left + w);
    statusbarIMAGE[i].Draw(&r);
    DrawScore(char(i));
    DrawStatusArray(&bar.shield, &Image(shieldStatusFRAME, 0));
    DrawStatusArray(&bar.doubles, &Image(pelletFRAME, 0));
    DrawStatusArray(&bar.bonus, &Image(pelletFRAME, 1));
  }
  if (waveDISPLAY.on) DrawWaveBanner();
}

void DrawExplosion(Rect* r, char stage) {
  float s = (r->bottom - r->top) / 40.0f;
  float c = (10 - stage) / 8.0f * s;
  if (s > c) s = c;
  ImageGL& img = Image(explosionFRAME, 0);
  Rect target = CenteredRect(CenterX(*r), CenterY(*r), SInt16(img.Width() * s), SInt16(img.Height() * s));
  if (stage == 0) {
    img.SetBright(1.75f);
    img.rotation = 0;
    img.alpha = 1.0f;
    img.DrawBright(&target);
  } else {
    img.rotation = 90.0f * stage;
    img.alpha = (8 - stage) / 8.0f;
    img.Draw(&target);
  }
}

void DrawEngineGlow(Rect* r, RGBColorF* color, float alpha) {
  ImageGL& img = Image(engineFRAME, 0);
  img.red = color->red;
  img.green = color->green;
  img.blue = color->blue;
  img.alpha = alpha;
  img.Draw(r);
}

void DrawEngineGlow(RectF* r, RGBColorF* color, float alpha) {
  ImageGL& img = Image(engineFRAME, 0);
  img.red = color->red;
  img.green = color->green;
  img.blue = color->blue;
  img.alpha = alpha;
  img.Draw(r);
}

void DrawSpriteFlash(ImageGL* image, Rect* r, RGBAColorF* flash) {
  float red = image->red, green = image->green, blue = image->blue;
  image->red = flash->red;
  image->green = flash->green;
  image->blue = flash->blue;
  image->DrawBright(r);
  image->red = red;
  image->green = green;
  image->blue = blue;
}

void DrawScore(char player) {
  char text[16];
  int n = std::snprintf(text, sizeof text, "%d", int(playerSCORE[int(player)]));
  const Rect& bar = _PLAYER[int(player)].status.bounds;
  float alpha = playerSCORE[int(player)] != 0 ? 1.0f : 0.25f;
  for (int pass = 0; pass < 2; ++pass) {
    Rect cell;
    SetRect2(&cell, bar.left + 106 - 9 * n - 4, bar.top + 7, 9, 9);
    if (pass == 0) {
      cell.left = SInt16(cell.left + 1);
      cell.right = SInt16(cell.right + 1);
      cell.top = SInt16(cell.top + 1);
      cell.bottom = SInt16(cell.bottom + 1);
    }
    for (int k = 0; k < n; ++k) {
      ImageGL& img = Image(numberFRAME, text[k] - '0');
      if (pass == 0) {
        img.SetBright(0.0f);
      } else {
        img.red = 0.75f;
        img.green = 0.55f;
        img.blue = 0.0f;
      }
      float previous = img.alpha;
      img.alpha = alpha;
      img.Draw(&cell);
      img.alpha = previous;
      cell.left = SInt16(cell.left + 9);
      cell.right = SInt16(cell.right + 9);
    }
  }
}

void DrawStatusArray(StatusArray* row, ImageGL* image) {
  for (UInt32 k = 0; k < row->rect.Size(); ++k) {
    Rect r = row->rect[k];
    int g = row->glow[k];
    float b;
    if (row->on[k] == 0)
      b = g > 9 ? g / 24.0f : 0.35f;
    else
      b = g > 23 ? g / 24.0f : 1.0f;
    if (b > 1.0f) Inset(&r, SInt16(2 * (b - 1)), SInt16(-4 * (b - 1)));
    image->SetBright(b);
    image->DrawBright(&r);
  }
}

void DrawPauseButton() {
  pauseButtonRECT = CenteredRect(24, 24, 32, 32);
  exitButtonRECT = CenteredRect(SInt16(mainRECT.right - 24), 24, 32, 32);
  pauseButtonIMAGE.alpha = gamePAUSE ? 1.0f : 0.25f;
  pauseButtonIMAGE.Draw(&pauseButtonRECT);
  if (gamePAUSE) exitButtonIMAGE.Draw(&exitButtonRECT);
}

void DrawGameSprite(MSSprite* sprite, Frame* frames, int count) {
  if (!sprite || !frames || !sprite->on || sprite->frame < 0 || sprite->frame >= count) return;
  frames[sprite->frame].image.Draw(&sprite->rect);
}
