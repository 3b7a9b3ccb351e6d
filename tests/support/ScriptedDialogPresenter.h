// A presenter for tests: it records every view it is asked to show and
// answers from a script. When the script runs out while a dialog still waits
// for input, it abandons the dialog and counts the miss, so that no test ever
// waits on a dialog. Installs itself while it lives.
#pragma once

#include <deque>
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

  DialogAction Present(const DialogView& view) override;

  std::vector<DialogView> shown;  // one entry per Present call
  int misses = 0;                 // script empty, or no such button

 private:
  struct Step {
    enum Kind { Title, Command, Key } kind;
    std::string title;
    UInt32 command;
    UInt8 charCode, keyCode;
  };
  std::deque<Step> script_;
  DialogPresenter* previous_;
};
