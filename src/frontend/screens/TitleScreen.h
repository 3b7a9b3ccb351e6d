// The title: the game's title picture over a slowly scrolling background
// and 512 twinkling stars drifting right to left, with the title music
// looping. After 200 animation ticks (10 seconds), or sooner at a key or a
// click (with a faster fade), it fades out with its music and opens the
// main screen. It opens once per run, after the logo.
#pragma once

#include "foundation/Colors.h"
#include "frontend/screens/ScreenGL.h"
#include "graphics/ImageGL.h"
#include "platform/RGBAColor16.h"
#include "sound/CompressedSound.h"

class TitleScreen final : public ScreenGL {
 public:
  ImageGL title;
  ImageGL background;
  Music music;
  UInt8 leaving = 0;
  UInt8 fast = 0;
  SInt16 countdown = 200;  // not reset by Open: the title opens once
  RectF backgroundRect{};
  RGBAColor16 starColour{};

  void Open();
  void Process() override;
  void Draw() override;
  const char* TraceName() const override { return "title"; }
  bool TakesInput() const override { return !leaving; }
  void Dispose();
};

extern TitleScreen titleSCREEN;
// Opens the title screen; start-up reaches it through the logo screen.
void OpenTitleScreen();
