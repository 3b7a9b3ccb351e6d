// A presenter for tests: it records every view it is asked to show and
// answers from a script. When the script runs out while a dialog still waits
// for input, it abandons the dialog and counts the miss, so that no test ever
// waits on a dialog. Installs itself while it lives.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/DialogPresenter.h"

struct ScriptedDialogPresenter : DialogPresenter {
  ScriptedDialogPresenter();
  ~ScriptedDialogPresenter() override;
  ScriptedDialogPresenter(const ScriptedDialogPresenter&) = delete;
  ScriptedDialogPresenter& operator=(const ScriptedDialogPresenter&) = delete;

  // Script steps, answered in order.
  void ClickTitle(const std::string& title);
  void ClickCommand(UInt32 command);
  void Key(UInt8 charCode, UInt8 keyCode = 0);
  // Each character as a key.
  void Type(const std::string& text);
  // A click on any control (check boxes, radio buttons, fields, tabs, cells
  // of a grid, links), found by command code; `part` picks a grid's cell.
  void ClickControl(UInt32 command, SInt16 part = 0);
  // A step that decides by itself, for example to look at the model first.
  void Do(std::function<DialogAction(const DialogView&)> step);

  DialogAction Present(const DialogView& view) override;
  void Refresh(const DialogView& view) override { refreshed.push_back(view); }

  std::vector<DialogView> shown;      // one entry per Present call
  std::vector<DialogView> refreshed;  // windows shown without waiting (progress)
  int misses = 0;                     // script empty, or no such button

 private:
  struct Step {
    enum Kind { Title, Command, KeyPress, Control, Callback } kind;
    std::string title;
    UInt32 command;
    UInt8 charCode, keyCode;
    SInt16 part = 0;
    std::function<DialogAction(const DialogView&)> callback;
  };
  std::deque<Step> script_;
  DialogPresenter* previous_;
};
