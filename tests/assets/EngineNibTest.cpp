// The bundle carries the description of the engine's dialog windows, and the
// program's own loader reads it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "foundation/Paths.h"
#include "foundation/PlistTag.h"
#include "shell/NibDialogs.h"

TEST(EngineNib, BundleHoldsTheDialogWindows) {
  const char* bundle = std::getenv("HALVANE_BUNDLE");
  SetBundlePathForTesting(bundle ? bundle : "build/Halvane.app");
  IBNibRef nib = nullptr;
  ASSERT_EQ(CreateNibReference("QK Engine", &nib), noErr);
  for (const char* name :
       {"Main Prefs", "Online Settings", "Password", "Password Wrong", "Progress", "Scale Image", "Audio Settings"}) {
    EXPECT_NE(nib->FindDictionary("Windows", 0)->FindDictionary(name, 0), nullptr) << name;
  }
  DisposeNibReference(nib);
  SetBundlePathForTesting(nullptr);
}
