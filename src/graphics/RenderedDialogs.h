// Dialogs shown for real in a window of their own: every control of the
// dialog model drawn into an image with FreeType text and put on screen with
// OpenGL, clicks and keys turned into the model's actions. The event-loop
// timers keep running while it waits for the user.
#pragma once

#include <functional>
#include <map>

#include "platform/DialogPresenter.h"

class ImageBuffer;

class RenderedDialogPresenter : public DialogPresenter {
 public:
  RenderedDialogPresenter();
  ~RenderedDialogPresenter() override;
  DialogAction Present(const DialogView& view) override;
  void Dismiss(WindowRef window) override;
  void Refresh(const DialogView& view) override;

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
};

// Draws a dialog of the model into the buffer (sized to the dialog); the
// presenter's own picture, usable without a display.
void DrawDialog(WindowRef dialog, ImageBuffer* buffer);
// The control a click at (h, v) of the dialog reaches, or null; *part is
// the cell of a colour grid, the tab of a tab control.
struct OpaqueControlRef* DialogControlAt(WindowRef dialog, SInt16 h, SInt16 v, SInt16* part);
// Whether a view needs more than texts and buttons to be shown.
bool NeedsRenderedDialog(WindowRef dialog);

// The program's presenter: dialogs of texts and buttons as message boxes,
// the others rendered; standard error whenever UserPresenter() says so.
void InstallRenderedDialogs();
