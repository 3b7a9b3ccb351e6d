// LoadLayout end to end: the layout file from the bundle's "Layouts" folder,
// the sheet decoded once, one texture per frame cut from it, and frames that
// reach beyond the sheet cut to it.
#include <vector>

#include "GLWindowFixture.h"
#include "foundation/Paths.h"
#include "foundation/PlistTag.h"
#include "graphics/Layout.h"
#include "graphics/PNGFile.h"
#include "shell/ApplInfo.h"
#include "support/RecordingDialogs.h"
#include "support/TempFolder.h"

namespace {

class LayoutTextures : public GLWindowTest {};

void AddBounds(PlistTag* entry, Rect r) {
  PlistTag* d = entry->NewDictionary("Bounds");
  d->NewShort("Left", r.left);
  d->NewShort("Top", r.top);
  d->NewShort("Right", r.right);
  d->NewShort("Bottom", r.bottom);
}

TEST_F(LayoutTextures, OneTexturePerFrameWithinTheSheet) {
  if (!OpenWindow(640, 480)) return;
  RecordingDialogs dialogs;
  TempFolder bundle;
  bundle.MakeFolder("Contents/Resources/Layouts");
  SetBundlePathForTesting(bundle.Path().c_str());

  // A 64 by 32 sheet.
  std::vector<UInt8> rgba(64 * 32 * 4, 255);
  const std::string sheet = bundle / "Contents/Resources/Sheet";
  ASSERT_EQ(SavePNG((sheet + ".png").c_str(), rgba.data(), 64, 32, 0, nullptr, 0), 1);

  PlistTag root;
  PlistTag* frames = root.NewDictionary("Frames");
  PlistTag* head = frames->NewDictionary("gemFRAME");
  head->NewBoolean("First In Array", 1);
  head->NewLong("Array Size 0", 3);
  AddBounds(head, Rect{0, 0, 32, 16});
  PlistTag* second = frames->NewDictionary("gemFRAME[1]");
  AddBounds(second, Rect{0, 48, 40, 80});  // beyond the sheet: cut to 16 by 32
  PlistTag* third = frames->NewDictionary("gemFRAME[2]");
  AddBounds(third, Rect{40, 0, 60, 20});  // wholly outside: no texture
  FILE* f = std::fopen((bundle / "Contents/Resources/Layouts/Gems.plist").c_str(), "wb");
  ASSERT_EQ(root.SaveFile(f), 0);
  std::fclose(f);
  root.DeleteChildren();

  Frame block[3];
  Frame* table[1];
  Frame** tablePtr = table;
  SInt16 count = 0;
  APPL.frameList = &tablePtr;
  APPL.frameCount = &count;
  block[0].SetArrayName("gemFRAME");
  block[0].List(&count, 3);
  layoutsINITED = 0;
  InitLayouts();

  EXPECT_EQ(LoadLayout("Missing", "Sheet", 1), -1);
  EXPECT_EQ(LoadLayout("Gems", "NoSuchSheet", 1), -1);
  ASSERT_EQ(LoadLayout("Gems", "Sheet", 1), 0);
  EXPECT_NE(block[0].image.texture, 0u);
  EXPECT_EQ(block[0].image.Width(), 16);
  EXPECT_EQ(block[0].image.Height(), 32);
  EXPECT_EQ(block[0].image.hasAlpha, 1);
  EXPECT_NE(block[1].image.texture, 0u);
  EXPECT_NE(block[1].image.texture, block[0].image.texture);
  EXPECT_EQ(block[1].image.Width(), 16);
  EXPECT_EQ(block[1].image.Height(), 32);
  EXPECT_EQ(block[2].image.texture, 0u);
  EXPECT_TRUE(dialogs.Reports().empty());

  for (Frame& frame : block) frame.image.Dispose();
  APPL.frameList = nullptr;
  APPL.frameCount = nullptr;
  layoutsINITED = 0;
  SetBundlePathForTesting(nullptr);
}

}  // namespace
