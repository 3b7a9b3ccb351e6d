// The About page: a picture with its drop shadow and two credit lines over
// the half-darkened window. The game stands still while it is open; any
// click closes it, keys do not.
#pragma once

#include <string>

#include "frontend/controls/ControlGL.h"
#include "frontend/screens/ScreenGL.h"

class AboutScreen final : public ScreenGL {
 public:
  ImageGL about;
  ImageGL shadow;
  ImageGL text;
  Rect textRect;

  // Freezes the game step until the page closes.
  void Open();
  void Process() override;
  void Draw() override;
  const char* TraceName() const override { return "about"; }
};

extern AboutScreen aboutSCREEN;

// The two credit lines: "Version " with the given version and our credit,
// then the engine's credit.
std::string AboutCreditLine1(const char* version);
extern const char* const kAboutCreditLine2;
