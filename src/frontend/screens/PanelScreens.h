// The two small panels over a half-darkened picture: InputScreen asks a
// player who made the high-score table for a name; ConfirmScreen asks a
// yes/no question and acts on the answer by its tag (clear the high scores,
// or quit the game in progress).
#pragma once

#include "frontend/controls/ControlGL.h"
#include "frontend/controls/TextFieldGL.h"
#include "frontend/screens/ScreenGL.h"

class InputScreen final : public ScreenGL {
 public:
  ImageGL panel;
  ImageGL prompt;
  MSButton okButton;
  TextFieldGL nameField;
  Rect promptRect;
  UInt8 player = 0;
  // Keys held as the panel opened (fire still down as the game ended): they
  // type nothing until released.
  bool heldAtOpen[128] = {};
  // Steps left in which a game key typed is taken for play, not typing.
  SInt16 settleSteps = 0;

  // The panel for player 0 or 1 with the name offered; player 1's stands 96
  // pixels lower while player 0's is open.
  void Open(char player, const char* name);
  void Process() override;
  void Draw() override;
  const char* TraceName() const override { return player == 1 ? "name panel 2" : "name panel 1"; }
  void RenderText(char player);

 private:
  bool MeantForTheName(const EventRecord* event);
};

extern InputScreen enterNameSCREEN[2];

enum ConfirmTag : SInt32 { kConfirmClearScores = 1, kConfirmQuit = 2 };

class ConfirmScreen final : public ScreenGL {
 public:
  enum { kConfirm = 0, kCancel = 1 };
  ImageGL panel;
  ImageGL prompt;
  MSButton buttons[2];
  Rect promptRect;
  ConfirmTag tag = kConfirmClearScores;

  void Open(const char* text, ConfirmTag tag);
  void Process() override;
  void Draw() override;
  const char* TraceName() const override { return tag == kConfirmQuit ? "quit question" : "clear scores question"; }
  void RenderText(const char* text);
};

extern ConfirmScreen confirmSCREEN;

// The questions the callers ask.
extern const char* const kClearScoresQuestion;
extern const char* const kQuitQuestion;

// Redraws the main screen's score table after the table changed; the main
// screen installs it (null draws nothing).
extern void (*renderScoresProc)();

// The panel's place: its picture's size / 1.6, centred across the game
// rectangle, its middle at 35% of the height.
Rect PanelBounds(const ImageGL& panel);
// The character of a key-down or auto-key event not typed with the Command
// key alone held, else 0.
char PanelKey();
// Darkens the whole game picture behind a screen by `alpha` (0 to 1).
void DarkenGamePicture(float alpha);
// A name without the blanks before and after it.
std::string TrimBlanks(const std::string& name);
