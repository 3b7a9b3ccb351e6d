#include "support/ScriptedDialogPresenter.h"

ScriptedDialogPresenter::ScriptedDialogPresenter() : previous_(SetDialogPresenter(this)) {}
ScriptedDialogPresenter::~ScriptedDialogPresenter() { SetDialogPresenter(previous_); }

void ScriptedDialogPresenter::ClickTitle(const std::string& title) {
  script_.push_back(Step{Step::Title, title, 0, 0, 0});
}

void ScriptedDialogPresenter::ClickCommand(UInt32 command) {
  script_.push_back(Step{Step::Command, "", command, 0, 0});
}

void ScriptedDialogPresenter::Key(UInt8 charCode, UInt8 keyCode) {
  script_.push_back(Step{Step::Key, "", 0, charCode, keyCode});
}

DialogAction ScriptedDialogPresenter::Present(const DialogView& view) {
  shown.push_back(view);
  if (script_.empty()) {
    ++misses;
    return DialogAction{DialogAction::Abandon, -1, 0, 0};
  }
  Step step = script_.front();
  script_.pop_front();
  if (step.kind == Step::Key) return DialogAction{DialogAction::Key, -1, step.charCode, step.keyCode};
  for (size_t i = 0; i < view.buttons.size(); ++i) {
    const DialogView::Button& b = view.buttons[i];
    if (step.kind == Step::Title ? b.title == step.title : b.command == step.command)
      return DialogAction{DialogAction::Click, int(i), 0, 0};
  }
  ++misses;
  return DialogAction{DialogAction::Abandon, -1, 0, 0};
}
