// The game's side of the application shell: the hooks the shell calls
// (events, menus, About, the video fades), what they do for the game (the
// quit question, pausing when the program loses the focus, paste), and the
// mouse cursor drawn over the picture in place of the system's one.
#pragma once

#include <string>

#include "graphics/GammaFading.h"
#include "platform/QuickDraw.h"
#include "platform/QuickDrawColor.h"

class ImageGL;
struct FSSpec;

// The cursor drawn with the picture. It stands in for the system cursor
// while the pointer is over the picture and the program is in front; it
// shows only while a screen wants it (visible) and the pointer is there
// (not obscured).
class CursorGL {
 public:
  ImageGL* image;  // the picture, mainGUI's cursor image
  Rect rect;       // where it is drawn
  Point position;
  Point lastPosition;
  UInt8 visible;
  UInt8 obscured;
  SInt16 hotV, hotH;  // the point of the picture that sits on the pointer
  float scale;        // of the picture's size

  CursorGL();
  void Show();
  void Hide();
  // Hidden from view (the pointer left the picture) until HandleInput sees
  // it back; the position is kept.
  void Obscure(const Point* p);
  // Follows the pointer: the rectangle puts the hot spot on it.
  void HandleInput(const Point* p);
  void Draw();
};

extern CursorGL mainCURS;

// The tinted tables of the video fades: every colour turned violet at half
// its value, and a gamma ramp toward violet. Made by the first fade-out.
extern CTabHandle grayClut;
extern GammaHandle grayGamma;

// The event hook: the quit and Preferences requests, update, suspend and
// resume, the Edit menu and the close box. 1 when the event was handled
// here.
UInt8 CustomEvents();
UInt8 CustomUpdate();
// Losing the focus pauses a game in play.
UInt8 CustomSuspend();
UInt8 CustomResume();
void CustomMenus();
void CustomClick();
// Pauses a game that lost the focus when it could not pause at once, as
// soon as it can; once per step.
void PauseSuspendedGame();
// Asks whether to end the game in progress (once: a second request while
// the question is open does nothing); the game stands still meanwhile.
void ConfirmQuitDialog();
// The question was answered: the cursor goes back to how it was before.
void QuitQuestionClosed();
void AboutDialog();
// The clipboard's text, or "" when there is none or it cannot be read.
std::string PasteText();
// The Edit menu (130) and the Window menu (131).
void InitLocalMenus();
// The Window menu's full-screen item is ticked exactly while the game is in
// full screen.
void UpdateLocalMenus();
SInt16 OpenFile_AE(FSSpec* file);
void Menu_Preferences();
// The display fades to violet and then black, and comes back from black
// through violet, 25 ticks a stage; only a full-screen picture's display is
// faded, in a window the tables are only made.
void VideoFadeOut();
void VideoFadeIn();
// The violet copy of a colour table: hue 52000, full saturation, half the
// value of each entry.
void TintTable(CTabHandle table);

void ShowCursorGL();
void HideCursorGL();
void ObscureCursorGL();
// Once per step: the drawn cursor follows the pointer, and the system
// cursor shows where the drawn one does not.
void HandleCursorGL();
// Starts a game with the pointer captured and the menu bar out of the way.
void StartGame_Mac();

// Installs the six hooks into the application record.
void InstallApplicationHooks();
