#include "platform/DialogPresenter.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>

#include "platform/PlatformSystem.h"

namespace {

DialogPresenter* installed = nullptr;

// Once a quit signal has come no one is left to answer: each dialog says on
// standard error what it held and takes its default button; a dialog that
// asks again (its default answer did not end it) is abandoned. What the
// installed presenter still shows is closed through it.
struct SignalledPresenter : DialogPresenter {
  std::set<WindowRef> answered;
  DialogAction Present(const DialogView& view) override {
    if (view.window && !answered.insert(view.window).second)
      return DialogAction{DialogAction::Abandon, -1, 0, 0, nullptr, 0};
    fprintf(stderr, "halvane: ending on a signal; dismissed the dialog%s%s\n", view.title.empty() ? "" : " ",
            view.title.c_str());
    return StderrPresenter().Present(view);
  }
  void Dismiss(WindowRef window) override {
    answered.erase(window);
    if (installed) installed->Dismiss(window);
  }
};

SignalledPresenter& Signalled() {
  static SignalledPresenter presenter;
  return presenter;
}

// The installed presenter, until a signal: an answer that a signal cut short
// (the dialog's window reads as closed then) is replaced by the signalled one.
struct GuardedPresenter : DialogPresenter {
  DialogAction Present(const DialogView& view) override {
    if (!TerminationSignalled()) {
      DialogAction action = (installed ? *installed : StderrPresenter()).Present(view);
      if (!TerminationSignalled()) return action;
    }
    return Signalled().Present(view);
  }
  void Dismiss(WindowRef window) override { Signalled().Dismiss(window); }
  void Refresh(const DialogView& view) override {
    if (!TerminationSignalled() && installed) installed->Refresh(view);
  }
};

}  // namespace

bool DisplayReachable() {
  const char* wayland = getenv("WAYLAND_DISPLAY");
  const char* x11 = getenv("DISPLAY");
  return (wayland && *wayland) || (x11 && *x11);
}

DialogPresenter& UserPresenter() {
  const char* chosen = getenv("HALVANE_DIALOGS");
  if ((chosen && strcmp(chosen, "stderr") == 0) || !DisplayReachable()) return StderrPresenter();
  return MessageBoxPresenter();
}

MessageBoxPlan PlanMessageBox(const DialogView& view) {
  MessageBoxPlan plan{};
  plan.kind = view.icon == 0   ? MessageBoxPlan::Error
              : view.icon == 2 ? MessageBoxPlan::Warning
                               : MessageBoxPlan::Information;
  for (const std::string& t : view.texts) {
    if (t.empty()) continue;
    if (!plan.text.empty()) plan.text += "\n\n";
    plan.text += t;
  }
  int escape = -1;
  for (size_t i = 0; i < view.buttons.size() && escape < 0; ++i)
    if (view.buttons[i].enabled && view.buttons[i].isCancel) escape = int(i);
  for (size_t i = 0; i < view.buttons.size() && escape < 0; ++i)
    if (view.buttons[i].enabled && view.buttons[i].isDefault) escape = int(i);
  for (int i = int(view.buttons.size()) - 1; i >= 0; --i) {
    const DialogView::Button& b = view.buttons[size_t(i)];
    if (b.enabled) plan.buttons.push_back(MessageBoxPlan::Button{i, b.isDefault, i == escape});
  }
  return plan;
}

int DefaultButton(const DialogView& view) {
  for (size_t i = 0; i < view.buttons.size(); ++i)
    if (view.buttons[i].enabled && view.buttons[i].isDefault) return int(i);
  for (size_t i = 0; i < view.buttons.size(); ++i)
    if (view.buttons[i].enabled && view.buttons[i].isCancel) return int(i);
  for (size_t i = 0; i < view.buttons.size(); ++i)
    if (view.buttons[i].enabled) return int(i);
  return -1;
}

DialogAction StderrDialogPresenter::Present(const DialogView& view) {
  for (const std::string& t : view.texts)
    if (!t.empty()) fprintf(stderr, "%s\n", t.c_str());
  int button = DefaultButton(view);
  if (button < 0) return DialogAction{DialogAction::Abandon, -1, 0, 0, nullptr, 0};
  return DialogAction{DialogAction::Click, button, 0, 0, nullptr, 0};
}

StderrDialogPresenter& StderrPresenter() {
  static StderrDialogPresenter presenter;
  return presenter;
}

DialogPresenter& Presenter() {
  static GuardedPresenter guarded;
  if (TerminationSignalled()) return Signalled();
  return installed ? static_cast<DialogPresenter&>(guarded) : StderrPresenter();
}

DialogPresenter* SetDialogPresenter(DialogPresenter* presenter) {
  DialogPresenter* previous = installed;
  installed = presenter;
  return previous;
}
