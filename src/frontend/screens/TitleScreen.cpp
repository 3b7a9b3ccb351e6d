#include "frontend/screens/TitleScreen.h"

#include "foundation/Random.h"
#include "frontend/GameDrawing.h"
#include "frontend/MainLoop.h"
#include "frontend/Resources.h"
#include "frontend/screens/MainScreen.h"
#include "game/GameObjects.h"
#include "graphics/GameWindow.h"
#include "graphics/OpenGLFrame.h"
#include "shell/Events.h"

TitleScreen titleSCREEN;

void OpenTitleScreen() { titleSCREEN.Open(); }

namespace {
UInt32 RandomBelow(SInt32 n) {
  UInt32 r = SubRandom();
  return n > 0 ? r % UInt32(n) : 0;
}
}  // namespace

void TitleScreen::Open() {
  backgroundRect = RectF{float(mainRECT.top), float(mainRECT.left), float(mainRECT.bottom), float(mainRECT.right)};
  // Wider than the picture by the distance it will scroll.
  backgroundRect.right += float(countdown + 32);
  MinBright_GL();
  LoadImage(&title, "Title/Title", 1);
  LoadImage(&background, "Title/Background", 0);
  LoadMusic(&music, "Music/Title");
  const SInt32 w = mainRECT.right - mainRECT.left, h = mainRECT.bottom - mainRECT.top;
  for (int i = 0; i < kTitleStars; ++i) {
    SparkF& star = titleSTAR[i];
    star.x = float(RandomBelow(w));
    star.y = float(RandomBelow(h));
    star.speed = float(0.33334 * (i / 128 + 1));
    star.level = UInt8(SubRandom() & 7);
    star.direction = UInt8(SubRandom() & 1);
  }
  // The title music loops until the title leaves.
  SetMusicLoop(&music, 1);
  SetMusicVolume(&music, 255);
  PlayMusic(&music, 1);
  ResetSpeedManager();
  ScreenGL::Open(1);
}

void TitleScreen::Process() {
  // A key or click that came and went between two steps counts as well.
  if (Button() || AnyKey() || theEVENT.what == keyDown || theEVENT.what == mouseDown) leaving = fast = 1;
  music.channel.Idle();
  if (animateDELAY == 0.0f) {
    for (SparkF& star : titleSTAR) {
      if (star.direction == 1) {
        if (star.level < 7)
          star.level++;
        else
          star.direction = 0;
      } else {
        if (star.level >= 1)
          star.level--;
        else
          star.direction = 1;
      }
    }
    if (countdown) countdown--;
    if (!countdown) leaving = 1;
  }
  for (SparkF& star : titleSTAR) {
    star.x -= star.speed;
    if (star.x < 0) {
      star.x = float(mainRECT.right);
      star.y = float(RandomBelow(mainRECT.bottom - mainRECT.top));
    }
  }
  if (!leaving) {
    if (Brightness_GL() < 255) Brighter_GL(5);
  } else {
    if (Brightness_GL() <= 0) {
      Dispose();
      ScreenGL::Close();
      StopMusic(&music);
      mainSCREEN.Open();
      return;
    }
    Darker_GL(fast ? 5 : 2);
    SetMusicVolume(&music, SInt16(Brightness_GL()));
  }
  OffsetRectF(&backgroundRect, -0.33f, 0);
}

// Slower, farther stars are brighter at the same phase.
void TitleScreen::Draw() {
  background.Draw(&backgroundRect);
  const int side = int(starIMAGE.Width());
  // All the stars in one batch: one bind, one draw.
  static ImageQuad quads[kTitleStars];
  int n = 0;
  for (const SparkF& star : titleSTAR) {
    UInt8 c = UInt8(int(4 * (star.level + (4 - star.speed))));
    starColour.red = starColour.green = starColour.blue = c;
    const float b = float(starColour.red) / 31.0f;
    Rect r;
    SetRect2(&r, int(star.x), int(star.y), side, side);
    quads[n++] = ImageQuad{RectF{float(r.top), float(r.left), float(r.bottom), float(r.right)}, b, b, b, 1.0f};
  }
  DrawImageQuads(&starIMAGE, quads, n);
  title.Draw(&mainRECT);
}

void TitleScreen::Dispose() {
  title.Dispose();
  background.Dispose();
  music.CompressedSound::Dispose();
}
