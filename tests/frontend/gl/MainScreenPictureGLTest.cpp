// The menu drawn for real with the generated art: it leaves out the dark
// page under its nebula when nothing was drawn before it in the frame, and
// the picture is the very one it was with the page (read back whole from
// the window, byte for byte in colour).
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "foundation/Paths.h"
#include "foundation/PlistTag.h"
#include "frontend/GameDrawing.h"
#include "frontend/Resources.h"
#include "frontend/Scores.h"
#include "frontend/controls/KeyEditor.h"
#include "frontend/controls/SliderGL.h"
#include "frontend/screens/MainScreen.h"
#include "frontend/screens/ScreenGL.h"
#include "game/GameObjects.h"
#include "graphics/ImageGL.h"
#include "graphics/gl/GLWindowFixture.h"
#include "platform/GLWindow.h"
#include "sound/AudioPrefs.h"

namespace {

// The volume lamps of a slider one draw each, as they were drawn before
// they shared a draw.
void DrawLampsOneByOne(const AudioSlider& s, float scale) {
  const int w = int(volumeIMAGE.Width() * scale), h = int(volumeIMAGE.Height() * scale);
  const int top = s.bounds.top + (s.bounds.bottom - s.bounds.top) / 2 - h / 2;
  for (int i = 0; i < 8; ++i) {
    Rect lamp;
    SetRect2(&lamp, s.bounds.left + i * w, top, w, h);
    volumeIMAGE.SetBright(i < s.value ? 1.0f : 0.25f);
    volumeIMAGE.Draw(&lamp);
  }
}

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

  // The menu as drawn before anything was copied: every layer whole, in
  // order, over the nebula and the rocks.
  std::vector<UInt8> DrawnWhole() {
    MainScreen& m = mainSCREEN;
    OpenGLBeginDraw(GamePort());
    m.nebula.Draw(&m.nebulaRect);
    DrawMeteors();
    m.main.Draw(&m.bounds);
    for (MSButton& b : m.buttons) b.Draw();
    m.clearScoresButton.Draw();
    DrawToggleLight(m.buttons[MainScreen::kSound], audioPREFS.soundOn != 0, 0.75f);
    DrawToggleLight(m.buttons[MainScreen::kMusic], audioPREFS.musicOn != 0, 0.75f);
    for (AudioSlider& s : audioSLIDER) DrawLampsOneByOne(s, m.scale);
    keyEDIT.Draw();
    DrawWithShadow(&m.version, &m.versionRect, 2, 2, 1);
    DrawWithShadow(&m.scores, &m.scoresRect, 2, 2, 1);
    return FinishFrameAndReadWindow();
  }

  // Two frames of the menu as it draws itself (the second from whatever the
  // first copied), each the same as the menu drawn whole.
  void ExpectTheSamePicture(const char* what) {
    const std::vector<UInt8> whole = DrawnWhole();
    for (int frame = 0; frame < 2; ++frame) EXPECT_EQ(Differing(whole, Frame(false)), 0) << what << ", frame " << frame;
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

TEST_P(MainScreenPictureGL, DrawnFromItsCopyThePictureIsTheSameAsDrawnWhole) {
  if (!mainWIND) return;
  Frame(false);
  const UInt32 taken = mainSCREEN.still.copiesTaken;
  // The score table stands on the opaque panel: it is copied, not drawn.
  EXPECT_FALSE(mainSCREEN.still.copiedBoxes.empty());
  EXPECT_FALSE(mainSCREEN.still.live[MainScreen::kScoresLayer]);
  for (float rotation : {0.0f, -12.3f, -45.0f, -137.1f}) {
    mainSCREEN.nebula.rotation = rotation;
    ExpectTheSamePicture("with the nebula turned");
  }
  EXPECT_EQ(mainSCREEN.still.copiesTaken, taken) << "a picture that did not change was copied again";
  // The copy is what is seen there: a copy of a black picture shows black.
  const std::vector<UInt8> whole = DrawnWhole();
  OpenGLBeginDraw(GamePort());
  mainSCREEN.still.copy.Take(mainSCREEN.still.copiedBoxes);
  FinishFrameAndReadWindow();
  EXPECT_GT(Differing(whole, Frame(false)), 100 * 100);
  mainSCREEN.ForgetStill();
}

// Each change of what was copied is drawn: a hover or press of the buttons,
// the lights, a volume, a key, a new score, another size of window.
TEST_P(MainScreenPictureGL, AChangeOfWhatWasCopiedIsDrawn) {
  if (!mainWIND) return;
  MainScreen& m = mainSCREEN;
  ExpectTheSamePicture("at first");
  UInt32 taken = m.still.copiesTaken;

  m.clearScoresButton.hilite = 1;
  m.clearScoresButton.pressDepth = 4;
  ExpectTheSamePicture("with the clear-scores button pressed");
  EXPECT_GT(m.still.copiesTaken, taken);
  m.clearScoresButton.hilite = 0;
  m.clearScoresButton.pressDepth = 2;
  ExpectTheSamePicture("with the clear-scores button springing back");
  m.clearScoresButton.pressDepth = 0;
  ExpectTheSamePicture("with the clear-scores button back");

  m.buttons[MainScreen::kPlay].hilite = 1;
  m.buttons[MainScreen::kPlay].pressDepth = 4;
  ExpectTheSamePicture("with Play pressed");
  m.buttons[MainScreen::kPlay].hilite = 0;
  m.buttons[MainScreen::kPlay].pressDepth = 0;

  audioPREFS.soundOn = audioPREFS.soundOn ? 0 : 1;
  ExpectTheSamePicture("with the sound switched");
  audioPREFS.soundOn = audioPREFS.soundOn ? 0 : 1;
  const SInt16 volume = audioSLIDER[0].value;
  audioSLIDER[0].value = SInt16(volume > 2 ? 1 : 6);
  ExpectTheSamePicture("with the volume changed");
  audioSLIDER[0].value = volume;
  keyEDIT.selectedPlayer = 1;
  keyEDIT.selectedKey = 2;
  keyEDIT.blink = 0;
  ExpectTheSamePicture("with a key selected");
  keyEDIT.selectedPlayer = -1;

  // A new best score, rendered into the table.
  PlistTag* table = mainSCORES.Normalise();
  ASSERT_NE(table, nullptr);
  ASSERT_NE(table->GetChild(0), nullptr);
  SInt32 best = 0;
  table->GetChild(0)->GetLong("Score", &best, 0);
  table->GetChild(0)->SetLong("Score", best + 987654);
  taken = m.still.copiesTaken;
  m.RenderScores();
  ExpectTheSamePicture("with a new score");
  EXPECT_GT(m.still.copiesTaken, taken);
  table->GetChild(0)->SetLong("Score", best);
  m.RenderScores();
  ExpectTheSamePicture("with the score back");
}

// The window as a smaller one, inside the real drawable.
void SmallerDrawable(WindowPtr, SInt32* width, SInt32* height) {
  *width = 517;
  *height = 411;
}

TEST_P(MainScreenPictureGL, AnotherWindowSizeIsSortedAgain) {
  if (!mainWIND) return;
  ExpectTheSamePicture("at first");
  const ScissorBox before = mainSCREEN.still.area;
  GLServices smaller = *GetGLServices();
  smaller.drawableSize = SmallerDrawable;
  const GLServices* was = SetGLServices(&smaller);
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  glViewport(0, 0, 517, 411);
  ExpectTheSamePicture("in a smaller window");
  EXPECT_NE(mainSCREEN.still.area.width, before.width);
  SetGLServices(was);
  glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
  ExpectTheSamePicture("back in its own size");
}

INSTANTIATE_TEST_SUITE_P(Sizes, MainScreenPictureGL, ::testing::Values(Size{640, 480}, Size{1000, 700}));

}  // namespace
