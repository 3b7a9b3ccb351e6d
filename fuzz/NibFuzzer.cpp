// The engine's dialog descriptions ("QK Engine.plist"), loaded from a file
// as the program loads them, then each window described made and disposed
// of. Whatever the file: it is taken only when it holds "Windows"; every
// window described can be made; a window has one control for each element
// of its "Controls" (embedded ones included, none twice); a control given a
// signature is found by it unless an earlier one has the same signature and
// ID; and nothing is left behind once the window is gone. Each control's
// text reads back into a Str255 of exactly 256 bytes as its first 255 bytes;
// switching a tab control to each of its tabs shows that tab's pane and
// hides the others'.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>

#include "FuzzSupport.h"
#include "foundation/PlistTag.h"
#include "platform/DialogModel.h"
#include "shell/NibDialogs.h"
#include "shell/StandardDialog.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzSetUp();
  if (size > (1 << 17)) return 0;
  const std::string path = FuzzWriteFile("QK Engine.plist", data, size);
  if (LoadQKEngineNibFile(path.c_str()) != 0) return 0;
  FUZZ_CHECK(QKEngineNIB);
  PlistTag* windows = QKEngineNIB->FindDictionary("Windows", 0);
  FUZZ_CHECK(windows);
  for (UInt16 w = 0; w < windows->NumChildren() && w < 16; ++w) {
    PlistTag* spec = windows->GetChild(w);
    if (spec->type[0] != 4 || std::string(reinterpret_cast<const char*>(spec->type + 1), 4) != "dict") continue;
    const std::string name(reinterpret_cast<const char*>(spec->key + 1), spec->key[0]);
    // The first window of a name is the one found by it.
    if (windows->FindDictionary(name.c_str(), 0) != spec) continue;
    WindowRef window = GetNibWindow(QKEngineNIB, name.c_str());
    FUZZ_CHECK(window);
    PlistTag* controls = spec->FindArray("Controls", 0);
    const std::vector<ControlRef> all = AllControls(window);
    FUZZ_CHECK(all.size() == size_t(controls ? controls->NumElements() : 0));
    FUZZ_CHECK(std::set<ControlRef>(all.begin(), all.end()).size() == all.size());
    // Exactly a Str255, so that a read past its end is caught.
    auto* text = static_cast<unsigned char*>(std::malloc(256));
    for (ControlRef control : all) {
      GetControlText(control, text);
      const size_t n = std::min<size_t>(control->text.size(), 255);
      FUZZ_CHECK(text[0] == n && std::memcmp(text + 1, control->text.data(), n) == 0);
    }
    std::free(text);
    for (ControlRef tabs : all) {
      if (tabs->kind != kControlKindTabs || tabs->signature == 0) continue;
      for (SInt16 tab = 1; tab <= std::min<SInt16>(tabs->maximum, 16); ++tab) {
        SwitchTabControl(window, tabs, tab);
        for (SInt16 n = 1; n <= std::min<SInt16>(tabs->maximum, 16); ++n)
          if (ControlRef pane = GetControlBySignature(window, tabs->signature, n))
            FUZZ_CHECK(pane->visible == (pane == GetControlBySignature(window, tabs->signature, tab)));
      }
    }
    for (ControlRef control : all) {
      FUZZ_CHECK(control->window == window);
      if (control->signature == 0) continue;
      ControlRef found = GetControlBySignature(window, control->signature, control->id);
      FUZZ_CHECK(found && found->signature == control->signature && found->id == control->id);
    }
    DisposeDialogWindow(window);
  }
  DisposeNibReference(QKEngineNIB);
  QKEngineNIB = nullptr;
  return 0;
}
