#include "support/ScriptedDialogPresenter.h"

#include "platform/DialogModel.h"

ScriptedDialogPresenter::ScriptedDialogPresenter() : previous_(SetDialogPresenter(this)) {}
ScriptedDialogPresenter::~ScriptedDialogPresenter() { SetDialogPresenter(previous_); }

void ScriptedDialogPresenter::ClickTitle(const std::string& title) {
  script_.push_back(Step{Step::Title, title, 0, 0, 0, 0, {}});
}

void ScriptedDialogPresenter::ClickCommand(UInt32 command) {
  script_.push_back(Step{Step::Command, "", command, 0, 0, 0, {}});
}

void ScriptedDialogPresenter::Key(UInt8 charCode, UInt8 keyCode) {
  script_.push_back(Step{Step::KeyPress, "", 0, charCode, keyCode, 0, {}});
}

void ScriptedDialogPresenter::Type(const std::string& text) {
  for (char c : text) Key(UInt8(c));
}

void ScriptedDialogPresenter::ClickControl(UInt32 command, SInt16 part) {
  Step step{Step::Control, "", command, 0, 0, 0, {}};
  step.part = part;
  script_.push_back(step);
}

void ScriptedDialogPresenter::Do(std::function<DialogAction(const DialogView&)> callback) {
  Step step{Step::Callback, "", 0, 0, 0, 0, {}};
  step.callback = std::move(callback);
  script_.push_back(step);
}

DialogAction ScriptedDialogPresenter::Present(const DialogView& view) {
  shown.push_back(view);
  if (script_.empty()) {
    ++misses;
    return DialogAction{DialogAction::Abandon, -1, 0, 0, nullptr, 0};
  }
  Step step = script_.front();
  script_.pop_front();
  if (step.kind == Step::Callback) return step.callback(view);
  if (step.kind == Step::Control) {
    for (ControlRef c : AllControls(view.window))
      if (c->command == step.command) return DialogAction{DialogAction::Control, -1, 0, 0, c, step.part};
    ++misses;
    return DialogAction{DialogAction::Abandon, -1, 0, 0, nullptr, 0};
  }
  if (step.kind == Step::KeyPress) return DialogAction{DialogAction::Key, -1, step.charCode, step.keyCode, nullptr, 0};
  for (size_t i = 0; i < view.buttons.size(); ++i) {
    const DialogView::Button& b = view.buttons[i];
    if (step.kind == Step::Title ? b.title == step.title : b.command == step.command)
      return DialogAction{DialogAction::Click, int(i), 0, 0, nullptr, 0};
  }
  ++misses;
  return DialogAction{DialogAction::Abandon, -1, 0, 0, nullptr, 0};
}
