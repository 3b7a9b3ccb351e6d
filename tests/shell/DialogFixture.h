// A shell with the scripted presenter and the engine's interface file loaded.
#pragma once

#include <string>

#include "ShellFixture.h"
#include "foundation/StringLibrary.h"
#include "platform/DialogModel.h"
#include "shell/NibDialogs.h"
#include "support/ScriptedDialogPresenter.h"

inline std::string EngineNibPath() {
  std::string here = __FILE__;
  return here.substr(0, here.rfind("/tests/")) + "/resources/QK Engine.plist";
}

class DialogTest : public ShellTest {
 protected:
  DialogTest() {
    dlogPARAMS.Reset();
    ctrlPARAMS.Reset();
    if (!QKEngineNIB) LoadQKEngineNibFile(EngineNibPath().c_str());
  }
  ~DialogTest() override { dlogPARAMS.Reset(); }

  static std::string Str(const unsigned char* p) { return std::string((const char*)p + 1, p[0]); }

  // A dialog window with one edit field that has the focus.
  WindowRef FieldWindow(const char* text = "") {
    Rect bounds{0, 0, 120, 300};
    window = NewStandardDialog(&bounds, PStr("Field"), 0);
    Rect r{42, 75, 58, 277};
    field = NewDialogControl(window, &r, kEditTextProc, PStr(text), 0, 0, 0);
    SetKeyboardFocus(window, field);
    field->selStart = field->selEnd = SInt16(field->text.size());
    return window;
  }
  void Type(const std::string& keys) {
    for (char c : keys) TypeDialogKey(window, UInt8(c), 0);
  }
  void TearDown() override {
    if (window) DisposeDialogWindow(window);
  }

  WindowRef window = nullptr;
  ControlRef field = nullptr;
  ScriptedDialogPresenter presenter;
};
