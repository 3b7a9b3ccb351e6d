// What the harness pressed, per test, for a run that makes the program lose
// one key's first press (tests/support/losepress/lost-press-run.sh) and must
// then see every test that pressed that key fail.
//
// With HALVANE_E2E_PRESS_LOG naming a file, each key (an X keysym name:
// "Escape", "q", "KP_0", "Shift_L" pressed alone) and each mouse button
// ("button1") the running test presses is appended to it once, as
// "<suite>.<test> <key>". The modifiers held around a key are not noted:
// the program reads them from the key's own press.
#pragma once

#include <string>

namespace e2e {

void NotePress(const std::string& key);

// "<suite>.<test>" of the running GoogleTest test, "?" outside one.
std::string RunningTestName();

}  // namespace e2e
