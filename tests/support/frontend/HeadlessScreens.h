// The front end's screens without a display, for the front-end tests: an
// image buffer to draw into, text measured at 10 pixels a character, a fresh
// event record, an empty score table and default preferences. On leaving,
// the front end's state is reset (every screen closed) and what it replaced
// is put back. Header-only: only programs that link the front end use it.
#pragma once

#include <cstring>

#include "frontend/MainProgram.h"
#include "frontend/Preferences.h"
#include "frontend/Resources.h"
#include "frontend/Scores.h"
#include "frontend/controls/ControlGL.h"
#include "frontend/controls/TextFieldGL.h"
#include "shell/Events.h"

class HeadlessScreens {
 public:
  static int FixedPitch(const char* text, FT_Face, float) { return 10 * int(std::strlen(text)); }

  HeadlessScreens() : savedMeasure_(textFieldMeasure), savedBuffer_(mainGUI.imageBuff) {
    if (!imageBUFF.pixels) imageBUFF.Init(1024, 1024);
    textFieldMeasure = FixedPitch;
    mainGUI.imageBuff = &imageBUFF;
    ResetControlPress();
    theEVENT = EventRecord{};
    gEventREC = &theEVENT;
    mainSCORES.SetFileName("Halvane Scores");
    mainSCORES.Init(15, 2);
    LoadScores();
    PREFS.Defaults();
  }
  ~HeadlessScreens() {
    ResetFrontEndState();
    textFieldMeasure = savedMeasure_;
    mainGUI.imageBuff = savedBuffer_;
  }
  HeadlessScreens(const HeadlessScreens&) = delete;
  HeadlessScreens& operator=(const HeadlessScreens&) = delete;

 private:
  decltype(textFieldMeasure) savedMeasure_;
  decltype(mainGUI.imageBuff) savedBuffer_;
};
