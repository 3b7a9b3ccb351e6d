// Resource loading from the bundle the asset generator makes, and from a
// damaged copy of it, with a real OpenGL context for the textures.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "foundation/Paths.h"
#include "frontend/GameFrames.h"
#include "frontend/MainLoop.h"
#include "frontend/Resources.h"
#include "game/GameServices.h"
#include "graphics/Layout.h"
#include "graphics/PNGFile.h"
#include "graphics/gl/GLWindowFixture.h"
#include "support/TempFolder.h"

namespace {

class ResourcesTest : public GLWindowTest {
 protected:
  void SetUp() override {
    const char* bundle = std::getenv("HALVANE_BUNDLE");
    ASSERT_NE(bundle, nullptr);
    bundle_ = bundle;
    SetBundlePathForTesting(bundle);
  }
  void TearDown() override {
    SetBundlePathForTesting(nullptr);
    GLWindowTest::TearDown();
  }
  std::string bundle_;
};

TEST_F(ResourcesTest, RealBundleLoadsEveryPictureTableAndFont) {
  if (!OpenWindow(640, 480)) return;
  testing::internal::CaptureStderr();
  LoadResources();
  LoadResources_Mac();
  gameResourcesLoaded = 0;
  LoadResources_Game();
  std::string warnings = testing::internal::GetCapturedStderr();
  // Sounds need OpenAL, which is not started here.
  for (const char* kind : {"image", "layout", "table", "font"})
    EXPECT_EQ(warnings.find(std::string("load ") + kind), std::string::npos) << warnings;

  for (ImageGL* image : {&pixelIMAGE, &sparkIMAGE, &starIMAGE, &radioButtonIMAGE[0], &radioButtonIMAGE[1], &volumeIMAGE,
                         &fadeIMAGE, &pressfireIMAGE, &statusbarIMAGE[0], &statusbarIMAGE[1], &spaceIMAGE,
                         &shockwaveIMAGE, &pauseButtonIMAGE, &exitButtonIMAGE})
    EXPECT_GT(image->Width(), 0);
  EXPECT_EQ(gameFrameCount, 27);
  EXPECT_EQ(gameFrameTable[3], playerShipFRAME);
  for (Frame* array : {meteorFRAME, playerShipFRAME, explosionFRAME, glowFRAME, numberFRAME, podFRAME})
    EXPECT_GT(array[0].image.Width(), 0) << array[0].arrayName + 1;
  EXPECT_GT(meteorFRAME[35].image.Width(), 0);
  EXPECT_GT(numberFRAME[9].image.Width(), 0);
  EXPECT_FLOAT_EQ(plasmaFRAME[5].image.red, 1.75f);
  EXPECT_EQ(cosTABLE[0], 256);
  EXPECT_EQ(sinTABLE[90], 256);
  EXPECT_EQ(cosTABLE[180], -256);
  EXPECT_NE(vagRoundFONT, nullptr);
  EXPECT_NE(copperFONT, nullptr);
  EXPECT_FLOAT_EQ(mainGUI.flashColor.red, 1.0f);  // the controls' flash colour
  EXPECT_FLOAT_EQ(mainGUI.flashColor.green, 0.5f);
  EXPECT_FLOAT_EQ(mainGUI.flashColor.blue, 0.5f);
  EXPECT_EQ(fullScreenBUTTON.bounds.left, 611);
  EXPECT_EQ(fullScreenBUTTON.bounds.top, -1);
  EXPECT_FLOAT_EQ(fullScreenBUTTON.titleImage.alpha, 0.0f);

  // Only the first call loads.
  spaceIMAGE.imageWidth = 7;
  LoadResources_Game();
  EXPECT_EQ(spaceIMAGE.Width(), 7);

  LoadGameImage(&bossIMAGE, "Boomerang", 1);
  EXPECT_EQ(BossImageWidth(), 184);
  EXPECT_EQ(BossImageHeight(), 104);
}

TEST_F(ResourcesTest, MissingFilesWarnByNameAndKeepTheGamePlayable) {
  if (!OpenWindow(640, 480)) return;
  TempFolder damaged;
  std::string resources = damaged.MakeFolder("Halvane.app/Contents/Resources");
  namespace fs = std::filesystem;
  fs::copy(bundle_ + "/Contents/Resources", resources, fs::copy_options::recursive);
  fs::remove(resources + "/Graphics/Blimp.png");
  fs::remove(resources + "/SIN Table 360");
  fs::remove(resources + "/Fonts/VAG Rounded BT.ttf");
  damaged.Write("Halvane.app/Contents/Resources/COS Table 360", std::string("\0\0\1\0\0\0", 6));
  damaged.Write("Halvane.app/Contents/Resources/Graphics/Spark.png", "not a picture");
  SetBundlePathForTesting((damaged.Path() + "/Halvane.app").c_str());

  testing::internal::CaptureStderr();
  LoadResources();
  LoadGameImage(&bossIMAGE, "Blimp", 1);
  std::string warnings = testing::internal::GetCapturedStderr();
  for (const char* name : {"Graphics/Spark.png", "SIN Table 360", "VAG Rounded BT", "Graphics/Blimp.png"})
    EXPECT_NE(warnings.find(name), std::string::npos) << name << "\n" << warnings;
  EXPECT_EQ(sparkIMAGE.Width(), 0);
  EXPECT_EQ(cosTABLE[0], 256);  // the short file's one whole entry
  EXPECT_EQ(cosTABLE[1], 0);
  EXPECT_EQ(sinTABLE[90], 0);
  EXPECT_EQ(vagRoundFONT, nullptr);
  EXPECT_NE(copperFONT, nullptr);
  // A boss without a picture still has the size its wave is fought at.
  EXPECT_EQ(BossImageWidth(), 72);
  EXPECT_EQ(BossImageHeight(), 200);
}

TEST_F(ResourcesTest, FontFoundWithTheExtensionAdded) {
  FT_Face face = nullptr;
  EXPECT_EQ(LoadGameFont(&face, "Copperplate Gothic Bold"), 0);
  EXPECT_NE(face, nullptr);
  testing::internal::CaptureStderr();
  EXPECT_EQ(LoadGameFont(&face, "No Such Font"), -1);
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(face, nullptr);
}

TEST_F(ResourcesTest, ThreePartSkinCutsWithNeighbourMargins) {
  if (!OpenWindow(64, 64)) return;
  TempFolder folder;
  std::string resources = folder.MakeFolder("B.app/Contents/Resources");
  std::vector<UInt8> pixels(100 * 10 * 4, 255);
  ASSERT_EQ(SavePNG((resources + "/Skin.png").c_str(), pixels.data(), 100, 10, 0, nullptr, 0), 1);
  SetBundlePathForTesting((folder.Path() + "/B.app").c_str());
  imageBUFF.Init(1024, 1024);
  ImageGL three[3];
  LoadImage_3Part(three, "Skin", 1);
  // Sources 0..26, 23..77 and 74..100; drawn parts 0..25, 2..52 and 1..26.
  const int widths[3] = {26, 54, 26}, drawnLeft[3] = {0, 2, 1}, drawnRight[3] = {25, 52, 26};
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(three[k].Width(), widths[k]) << k;
    EXPECT_FLOAT_EQ(three[k].texCoords[0] * three[k].texWidth, drawnLeft[k]) << k;
    EXPECT_FLOAT_EQ(three[k].texCoords[2] * three[k].texWidth, drawnRight[k]) << k;
    EXPECT_EQ(three[k].hasAlpha, 1);
  }
}

// A picture too narrow to give the middle part its margins is refused by
// name and leaves the three parts as they were; from 8 pixels it is cut.
TEST_F(ResourcesTest, ThreePartSkinNarrowerThanEightIsRefused) {
  if (!OpenWindow(64, 64)) return;
  TempFolder folder;
  std::string resources = folder.MakeFolder("B.app/Contents/Resources");
  for (int w : {1, 4, 7, 8}) {
    std::vector<UInt8> pixels(size_t(w) * 10 * 4, 255);
    const std::string name = "Skin" + std::to_string(w);
    ASSERT_EQ(SavePNG((resources + "/" + name + ".png").c_str(), pixels.data(), w, 10, 0, nullptr, 0), 1);
  }
  SetBundlePathForTesting((folder.Path() + "/B.app").c_str());
  imageBUFF.Init(1024, 1024);
  for (int w : {1, 4, 7}) {
    SCOPED_TRACE(w);
    ImageGL three[3];
    testing::internal::CaptureStderr();
    LoadImage_3Part(three, ("Skin" + std::to_string(w)).c_str(), 1);
    const std::string warnings = testing::internal::GetCapturedStderr();
    EXPECT_NE(warnings.find("Skin" + std::to_string(w) + ".png"), std::string::npos) << warnings;
    for (const ImageGL& part : three) EXPECT_EQ(part.Width(), 0);
  }
  ImageGL three[3];
  LoadImage_3Part(three, "Skin8", 1);
  EXPECT_EQ(three[0].Width(), 3);  // 2 wide and its one neighbour column
  EXPECT_EQ(three[1].Width(), 8);
  EXPECT_EQ(three[2].Width(), 3);
}

// Both copies load, the shadow drawn dark at three quarters, and the
// picture knows it has one.
TEST_F(ResourcesTest, ShadowImageLoadsBothCopiesAndKnowsItHasOne) {
  if (!OpenWindow(64, 64)) return;
  TempFolder folder;
  std::string resources = folder.MakeFolder("B.app/Contents/Resources");
  std::vector<UInt8> pixels(4 * 4 * 4, 200);
  ASSERT_EQ(SavePNG((resources + "/Pic.png").c_str(), pixels.data(), 4, 4, 0, nullptr, 0), 1);
  SetBundlePathForTesting((folder.Path() + "/B.app").c_str());
  imageBUFF.Init(1024, 1024);
  ShadowImage shadow;
  EXPECT_EQ(shadow.hasShadow, 0);
  LoadImage_Shadow(&shadow, "Pic", 1, 0.4f);
  EXPECT_EQ(shadow.hasShadow, 1);
  EXPECT_EQ(shadow.image.Width(), 4);
  EXPECT_EQ(shadow.shadow.Width(), 4);
  EXPECT_FLOAT_EQ(shadow.shadow.alpha, 0.75f);
}

}  // namespace
