// The paged help reader over the darkened main menu (Next, Prev, Done, and a
// mail button on the first two pages), and the loading picture screen that
// nothing opens yet.
#pragma once

#include "frontend/controls/ControlGL.h"
#include "frontend/screens/ScreenGL.h"

class HelpScreen final : public ScreenGL {
 public:
  enum { kNext = 0, kPrev = 1, kDone = 2 };
  ImageGL frame;
  ImageGL page;
  Rect pageRect;
  MSButton buttons[3];
  MSButton emailButton;
  SInt8 pageIndex = 0;
  SInt8 pageCount = 4;

  void Open();
  void Process() override;
  void Draw() override;
  const char* TraceName() const override { return "help"; }
  void Dispose();

 private:
  void LoadPage();
};

extern HelpScreen helpSCREEN;

// Where the mail button writes to.
extern const char* const kSupportMailURL;

class LoadScreen final : public ScreenGL {
 public:
  ImageGL picture;
  UInt8 loaded = 0;

  void Open();
  void Draw() override;
  const char* TraceName() const override { return "loading"; }
  bool TakesInput() const override { return false; }
};

extern LoadScreen loadSCREEN;
