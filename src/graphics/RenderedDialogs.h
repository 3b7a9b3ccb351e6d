// Dialogs shown for real in a window of their own: every control of the
// dialog model drawn into an image with FreeType text (UTF-8), icons and
// pictures, and put on screen with OpenGL; clicks and keys turned into the
// model's actions. The event-loop timers and the audio keep running while it
// waits for the user.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/DialogPresenter.h"

class ImageBuffer;

// What the pointer is doing over a dialog, drawn over its controls: an open
// pop-up menu and its highlighted item, the colour cell under the pointer,
// and a cell that blinks as it is chosen.
struct DialogHover {
  struct OpaqueControlRef* popup = nullptr;  // the pop-up whose menu is open
  SInt16 popupItem = 0;                      // 1-based; 0 for none
  SInt16 cell = -1;                          // the colour cell under the pointer
  SInt16 blinkCell = -1;                     // the cell being chosen
  bool blinkDark = false;                    // its frame is black (else entry 0's colour)
  bool cellPressed = false;                  // the button went down over the grid
  bool popupPressed = false;                 // the press that opened the menu is still down
  bool handCursor = false;                   // the pointer is over a link: the hand shows
};

class RenderedDialogPresenter : public DialogPresenter {
 public:
  RenderedDialogPresenter();
  ~RenderedDialogPresenter() override;
  DialogAction Present(const DialogView& view) override;
  void Dismiss(WindowRef window) override;
  void Refresh(const DialogView& view) override;
  // Opens the dialog's window (it stays open until Dismiss); false when no
  // OpenGL window can be made.
  bool CanShow(const DialogView& view);

  // Called after each drawing, with the dialog's window current for OpenGL
  // (tests read the picture back and post input here).
  std::function<void(WindowPtr surface, WindowRef dialog)> afterDraw;

  // The window showing a dialog, or null.
  WindowPtr SurfaceOf(WindowRef dialog) const;

 private:
  struct Surface;
  std::map<WindowRef, Surface*> surfaces_;
  Surface* Open(const DialogView& view);
  void Draw(Surface* surface, WindowRef dialog);
  // Waits about `ticks` sixtieths of a second, timers and sound running.
  void Pause(UInt32 ticks);
  // The user's next input for the dialog (none, after a pass, while a
  // watcher is installed).
  struct DialogInput WaitForInput(Surface* surface);
  // The chosen colour cell blinks three times.
  void BlinkCell(Surface* surface, WindowRef dialog, SInt16 cell);
};

// Draws a dialog of the model into the buffer (sized to the dialog); the
// presenter's own picture, usable without a display.
void DrawDialog(WindowRef dialog, ImageBuffer* buffer, const DialogHover& hover = DialogHover());
// The control a click at (h, v) of the dialog reaches, or null; *part is
// the cell of a colour grid (-1 between cells), the tab of a tab control.
struct OpaqueControlRef* DialogControlAt(WindowRef dialog, SInt16 h, SInt16 v, SInt16* part);
// Whether a view needs more than texts and buttons to be shown.
bool NeedsRenderedDialog(WindowRef dialog);

// Where things are drawn, for hit tests and for tests: tab n (1-based) of a
// tab control; the open menu of a pop-up in a dialog of the given height,
// and its item n; the item at a point of the menu (0 outside it).
Rect DialogTabRect(struct OpaqueControlRef* tabs, SInt16 n);
Rect PopupMenuRect(struct OpaqueControlRef* popup, SInt16 dialogHeight);
Rect PopupItemRect(struct OpaqueControlRef* popup, SInt16 dialogHeight, SInt16 item);
SInt16 PopupItemAt(struct OpaqueControlRef* popup, SInt16 dialogHeight, SInt16 h, SInt16 v);
// The items of a pop-up in UTF-8: its menu's, else its own list.
std::vector<std::string> PopupItems(struct OpaqueControlRef* popup);
// The picture file of an alert kind (0 stop, 1 note, 2 caution): the desktop
// icon theme's where one is installed, else the bundle's own.
std::string AlertIconFile(SInt16 kind);

// The program's presenter: every dialog rendered, as a message box only where
// no OpenGL window can be made; standard error whenever UserPresenter() says so.
// Answers the rendered presenter it shows dialogs with (tests watch it).
RenderedDialogPresenter& InstallRenderedDialogs();
