// Showing a modal dialog to the user. The dialog's rules run in our own code
// on the dialog model; a presenter only shows what the model holds (a view
// built from it, texts in UTF-8) and answers with what the user did.
//
// Presenters: the engine's own rendered dialogs for the user (installed by the
// program, graphics/RenderedDialogs.h), with SDL message boxes parented to the
// game window where no OpenGL window can be made; standard error when there
// is no display, or
// when HALVANE_DIALOGS=stderr asks for it (the default button is taken); and,
// for tests, the scripted presenter (tests/support/ScriptedDialogPresenter.h).
#pragma once

#include <string>
#include <vector>

#include "platform/PlatformTypes.h"

typedef struct OpaqueControlRef* ControlRef;

struct DialogView {
  struct Button {
    std::string title;
    UInt32 command;
    Rect bounds;
    bool enabled;
    bool isDefault;  // answers Return and Enter
    bool isCancel;   // answers Escape
  };
  std::string title;
  Rect bounds;                     // global
  SInt16 icon;                     // 0 stop, 1 note, 2 caution
  std::vector<std::string> texts;  // the static texts, in order
  std::vector<Button> buttons;     // the visible push buttons, in order
  WindowRef parent;                // the window the dialog belongs to, or null
  WindowRef window;                // the dialog itself, for presenters that show every control
};

struct DialogAction {
  enum Kind {
    Click,    // button `button` of the view
    Key,      // a key typed into the dialog
    Abandon,  // the dialog cannot be run any further
    Control,  // a click on `control` (a cell grid: on cell `part`)
    Idle,     // nothing yet: time passes, timers run
  } kind;
  int button;
  UInt8 charCode;
  UInt8 keyCode;
  ControlRef control = nullptr;
  SInt16 part = 0;
};

struct DialogPresenter {
  virtual ~DialogPresenter() = default;
  // Shows the dialog (or keeps showing it) and answers the user's next action.
  virtual DialogAction Present(const DialogView& view) = 0;
  // The dialog's run ended; a presenter that keeps a window for it closes it.
  virtual void Dismiss(WindowRef window) { (void)window; }
  // Shows a window that waits for no answer (a progress window) as it is
  // now; presenters that cannot show one do nothing.
  virtual void Refresh(const DialogView& view) { (void)view; }
};

// The presenter in use: the one installed, else standard error. The program
// installs UserPresenter() at start-up; tests install the scripted one or
// keep standard error, so that no test can wait on a real dialog. Once a
// termination signal is recorded (PlatformSystem.h) every dialog is told on
// standard error and answered with its default button, once; asked again,
// it is abandoned.
DialogPresenter& Presenter();
// Installs a presenter (null: back to the default); answers the previous one.
DialogPresenter* SetDialogPresenter(DialogPresenter* presenter);

// Writes the dialog's texts to standard error and takes its default button.
struct StderrDialogPresenter : DialogPresenter {
  DialogAction Present(const DialogView& view) override;
};
StderrDialogPresenter& StderrPresenter();

// SDL message boxes; a box that cannot be shown goes to standard error.
DialogPresenter& MessageBoxPresenter();
// A display can be reached (DISPLAY or WAYLAND_DISPLAY names one).
bool DisplayReachable();
// The presenter the program shows its dialogs with: message boxes when a
// display can be reached, standard error when not, or when the environment
// variable HALVANE_DIALOGS is "stderr" (the test runner sets it, so that no
// run of the program under test waits on a real dialog).
DialogPresenter& UserPresenter();

// How a message box shows a view: the texts joined by blank lines, the icon
// as the box's kind, and the enabled buttons left to right (ours are numbered
// from the right) with the keys that answer them: Return the default button,
// Escape the cancel button, else the default one.
struct MessageBoxPlan {
  enum Kind { Error, Warning, Information } kind;
  std::string text;
  struct Button {
    int index;  // in the view
    bool returnKey, escapeKey;
  };
  std::vector<Button> buttons;
};
MessageBoxPlan PlanMessageBox(const DialogView& view);

// The button a presenter without a user takes: the enabled default button,
// else the enabled cancel button, else the first enabled one; -1 for none.
int DefaultButton(const DialogView& view);
