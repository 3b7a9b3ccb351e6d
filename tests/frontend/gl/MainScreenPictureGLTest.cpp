// The menu drawn for real with the generated art: it leaves out the dark
// page under its nebula when nothing was drawn before it in the frame, and
// the picture is the very one it was with the page (read back whole from
// the window, byte for byte in colour).
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "foundation/Paths.h"
#include "frontend/GameDrawing.h"
#include "frontend/Resources.h"
#include "frontend/screens/MainScreen.h"
#include "frontend/screens/ScreenGL.h"
#include "game/GameObjects.h"
#include "graphics/ImageGL.h"
#include "graphics/gl/GLWindowFixture.h"

namespace {

struct Size {
  int width, height;
};

class MainScreenPictureGL : public GLWindowTest, public ::testing::WithParamInterface<Size> {
 protected:
  void SetUp() override {
    SetBundlePathForTesting(std::getenv("HALVANE_BUNDLE"));
    if (!OpenWindow(GetParam().width, GetParam().height)) return;
    testing::internal::CaptureStderr();
    LoadResources();
    LoadResources_Mac();
    gameResourcesLoaded = 0;
    LoadResources_Game();
    gamePLAY = 0;
    mainSCREEN.Open();
    testing::internal::GetCapturedStderr();
    glFADER.SetBright(255);
  }
  void TearDown() override {
    if (mainSCREEN.IsOpen()) mainSCREEN.Close();
    imageDrawRecorder = nullptr;
    SetBundlePathForTesting(nullptr);
    GLWindowTest::TearDown();
  }

  // The window's colour bytes after a frame of the menu, with the dark page
  // of brightness `page` drawn first when asked.
  std::vector<UInt8> Frame(bool withPage, float page = 0.0f) {
    OpenGLBeginDraw(GamePort());
    if (withPage) {
      Rect all = mainRECT;
      pixelIMAGE.SetBright(page);
      pixelIMAGE.alpha = 1.0f;
      pixelIMAGE.Draw(&all);
      pixelIMAGE.SetBright(1.0f);
    }
    mainSCREEN.Draw();
    return FinishFrameAndReadWindow();
  }

  static int Differing(const std::vector<UInt8>& a, const std::vector<UInt8>& b) {
    int n = 0;
    for (size_t i = 0; i + 3 < a.size(); i += 4)
      if (std::memcmp(&a[i], &b[i], 3) != 0) ++n;
    return n;
  }
};

std::vector<ImageDraw> recorded;
void Record(const ImageDraw& d) { recorded.push_back(d); }

TEST_P(MainScreenPictureGL, WithoutTheDarkPageThePictureIsTheSame) {
  if (!mainWIND) return;
  // As the nebula turns, from where it opens to where its corners are furthest in.
  for (float rotation : {0.0f, -12.3f, -45.0f, -90.0f, -137.1f}) {
    mainSCREEN.nebula.rotation = rotation;
    const std::vector<UInt8> before = Frame(true), after = Frame(false);
    EXPECT_EQ(Differing(before, after), 0) << "with the nebula turned " << rotation;
  }
  // The comparison sees a page wherever one could show: with no nebula over
  // it, a grey page does.
  const UInt32 nebula = mainSCREEN.nebula.texture;
  mainSCREEN.nebula.texture = 0;
  const std::vector<UInt8> grey = Frame(true, 0.3f), none = Frame(false);
  mainSCREEN.nebula.texture = nebula;
  EXPECT_GT(Differing(grey, none), int(none.size() / 4 / 10));
}

TEST_P(MainScreenPictureGL, TheFirstDrawIsTheNebulaUnlessSomethingIsBeneath) {
  if (!mainWIND) return;
  recorded.clear();
  imageDrawRecorder = Record;
  mainSCREEN.Draw();
  ASSERT_FALSE(recorded.empty());
  EXPECT_EQ(recorded.front().image, &mainSCREEN.nebula);
  // Over a game the page is drawn first, as before.
  recorded.clear();
  gamePLAY = 1;
  mainSCREEN.Draw();
  gamePLAY = 0;
  imageDrawRecorder = nullptr;
  ASSERT_FALSE(recorded.empty());
  EXPECT_EQ(recorded.front().image, &pixelIMAGE);
}

INSTANTIATE_TEST_SUITE_P(Sizes, MainScreenPictureGL, ::testing::Values(Size{640, 480}, Size{1000, 700}));

}  // namespace
