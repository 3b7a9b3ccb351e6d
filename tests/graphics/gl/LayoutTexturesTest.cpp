// LoadLayout end to end: the layout file from the bundle's "Layouts" folder,
// the sheet decoded once, one texture per frame cut from it, and frames that
// reach beyond the sheet cut to it.
#include <cstring>
#include <string>
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

// Each test gets a bundle of its own with a "Layouts" folder and a frame
// table of one three-frame array.
class LayoutTextures : public GLWindowTest {
 protected:
  void SetUp() override {
    GLWindowTest::SetUp();
    bundle.MakeFolder("Contents/Resources/Layouts");
    SetBundlePathForTesting(bundle.Path().c_str());
  }
  void TearDown() override {
    APPL.frameList = nullptr;
    APPL.frameCount = nullptr;
    layoutsINITED = 0;
    SetBundlePathForTesting(nullptr);
    GLWindowTest::TearDown();
  }

  // Writes the tree as the layout file "Layouts/<name>.plist" and empties it.
  void WriteLayout(PlistTag& root, const char* name) {
    FILE* f = std::fopen((bundle / ("Contents/Resources/Layouts/" + std::string(name) + ".plist")).c_str(), "wb");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(root.SaveFile(f), 0);
    std::fclose(f);
    root.DeleteChildren();
  }

  // Makes block the frame table's only array, named name, and starts the loader.
  void ListFrames(const char* name) {
    tablePtr = table;
    count = 0;
    APPL.frameList = &tablePtr;
    APPL.frameCount = &count;
    block[0].SetArrayName(name);
    block[0].List(&count, 3);
    layoutsINITED = 0;
    InitLayouts();
  }

  RecordingDialogs dialogs;
  TempFolder bundle;
  Frame block[3];
  Frame* table[1];
  Frame** tablePtr = nullptr;
  SInt16 count = 0;
};

void AddBounds(PlistTag* entry, Rect r) {
  PlistTag* d = entry->NewDictionary("Bounds");
  d->NewShort("Left", r.left);
  d->NewShort("Top", r.top);
  d->NewShort("Right", r.right);
  d->NewShort("Bottom", r.bottom);
}

TEST_F(LayoutTextures, OneTexturePerFrameWithinTheSheet) {
  if (!OpenWindow(640, 480)) return;

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
  WriteLayout(root, "Gems");
  ListFrames("gemFRAME");

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
}

// One texture for a 48 by 32 sheet (red left, blue right) shared by three
// frames, each showing its own part; the frames never delete it, the loader
// deletes it once.
TEST_F(LayoutTextures, AtlasSharedByTheFramesAndDeletedOnce) {
  if (!OpenWindow(640, 480)) return;
  std::vector<UInt8> rgba(48 * 32 * 4);
  for (int y = 0; y < 32; y++)
    for (int x = 0; x < 48; x++) {
      UInt8* p = &rgba[(y * 48 + x) * 4];
      p[0] = x < 24 ? 255 : 0;
      p[2] = x < 24 ? 0 : 255;
      p[3] = 255;
    }
  const std::string sheet = bundle / "Contents/Resources/Atlas";
  ASSERT_EQ(SavePNG((sheet + ".png").c_str(), rgba.data(), 48, 32, 0, nullptr, 0), 1);

  PlistTag root;
  PlistTag* frames = root.NewDictionary("Frames");
  PlistTag* head = frames->NewDictionary("tileFRAME");
  head->NewBoolean("First In Array", 1);
  head->NewLong("Array Size 0", 3);
  AddBounds(head, Rect{0, 0, 32, 24});
  AddBounds(frames->NewDictionary("tileFRAME[1]"), Rect{8, 24, 40, 48});  // cut to 24 rows
  AddBounds(frames->NewDictionary("tileFRAME[2]"), Rect{0, 60, 8, 70});   // outside: no texture
  WriteLayout(root, "Tiles");
  ListFrames("tileFRAME");
  Layout layout;
  layout.name[0] = 5;
  std::memcpy(layout.name + 1, "Tiles", 5);
  ASSERT_EQ(LoadLayout_PLIST(&layout, nullptr, 0, nullptr), 1);
  EXPECT_EQ(LoadLayoutTextureAtlas(&layout, "NoSuchSheet", 1), -1);
  ASSERT_EQ(LoadLayoutTextureAtlas(&layout, "Atlas", 1), 0);

  const UInt32 atlas = block[0].image.texture;
  ASSERT_NE(atlas, 0u);
  EXPECT_TRUE(glIsTexture(atlas));
  const struct {
    SInt16 width, height;
    float left, top, right, bottom;  // texture coordinates in a 64 by 32 texture
  } expected[] = {{24, 32, 0.0f, 0.0f, 0.375f, 1.0f}, {24, 24, 0.375f, 0.25f, 0.75f, 1.0f}};
  for (int i = 0; i < 2; i++) {
    SCOPED_TRACE(i);
    const ImageGL& image = block[i].image;
    EXPECT_EQ(image.texture, atlas);
    EXPECT_EQ(image.sharedTexture, 1);
    EXPECT_EQ(image.useSrcRect, 1);
    EXPECT_EQ(image.hasAlpha, 1);
    EXPECT_EQ(image.texWidth, 64);
    EXPECT_EQ(image.texHeight, 32);
    EXPECT_EQ(image.Width(), expected[i].width);
    EXPECT_EQ(image.Height(), expected[i].height);
    const float coords[8] = {expected[i].left, expected[i].top,    expected[i].right, expected[i].top,
                             expected[i].left, expected[i].bottom, expected[i].right, expected[i].bottom};
    for (int c = 0; c < 8; c++) EXPECT_FLOAT_EQ(image.texCoords[c], coords[c]) << c;
  }
  EXPECT_EQ(block[2].image.texture, 0u);

  // Each frame shows its own half of the sheet.
  OpenGLBeginDraw(GamePort());
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  const Rect left{100, 100, 132, 124}, right{100, 200, 124, 224};
  block[0].image.Draw(&left);
  block[1].image.Draw(&right);
  EXPECT_RGB_NEAR(PortPixel(112, 116), 255, 0, 0);
  EXPECT_RGB_NEAR(PortPixel(212, 112), 0, 0, 255);
  OpenGLEndDraw();

  // A new upload into a frame makes its own texture and leaves the atlas.
  const Rect whole{0, 0, 32, 48};
  block[1].image.Update(rgba.data(), 48 * 4, 32, &whole);
  EXPECT_NE(block[1].image.texture, atlas);
  EXPECT_EQ(block[1].image.sharedTexture, 0);
  EXPECT_TRUE(glIsTexture(atlas));

  for (Frame& frame : block) frame.image.Dispose();
  EXPECT_EQ(block[0].image.texture, 0u);
  EXPECT_TRUE(glIsTexture(atlas));
  DisposeLayoutTextureAtlases();
  EXPECT_FALSE(glIsTexture(atlas));
  DisposeLayoutTextureAtlases();  // nothing left to delete
  EXPECT_TRUE(dialogs.Reports().empty());
}

}  // namespace
