#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "foundation/Clock.h"
#include "foundation/Paths.h"
#include "frontend/GameFrames.h"
#include "frontend/InstructionPages.h"
#include "frontend/MainProgram.h"
#include "frontend/Preferences.h"
#include "game/GameObjects.h"
#include "graphics/GameWindow.h"
#include "graphics/OpenGLFrame.h"
#include "graphics/PNGFile.h"
#include "graphics/PixMapRegistry.h"
#include "platform/KeyCodes.h"
#include "platform/PlatformLaunch.h"
#include "platform/QuickDrawColor.h"
#include "shell/ApplInfo.h"
#include "shell/AppleEvents.h"
#include "shell/Events.h"
#include "support/FakeEventPlatform.h"
#include "support/FakeTime.h"
#include "support/TempFolder.h"

namespace {

bool SameRect(const Rect& a, const Rect& b) {
  return a.top == b.top && a.left == b.left && a.bottom == b.bottom && a.right == b.right;
}

std::string Show(const Rect& r) {
  return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " + std::to_string(r.right) + ", " +
         std::to_string(r.bottom) + ")";
}

#define EXPECT_RECT(actual, left, top, right, bottom) \
  EXPECT_PRED2(SameRect, actual, (Rect{top, left, bottom, right})) << #actual " is " << Show(actual)

UInt16 Pixel16(PixMapHandle pm, int x, int y) {
  const UInt8* row = reinterpret_cast<const UInt8*>((*pm)->baseAddr) + y * GetPixRowBytes(pm);
  return reinterpret_cast<const UInt16*>(row)[x];
}

void SetPixel16(PixMapHandle pm, int x, int y, UInt16 value) {
  UInt8* row = reinterpret_cast<UInt8*>((*pm)->baseAddr) + y * GetPixRowBytes(pm);
  reinterpret_cast<UInt16*>(row)[x] = value;
}

void Fill16(PixMapHandle pm, UInt16 value) {
  const Rect& b = (*pm)->bounds;
  for (int y = 0; y < b.bottom - b.top; ++y)
    for (int x = 0; x < b.right - b.left; ++x) SetPixel16(pm, x, y, value);
}

// 16-bit pixels of the panel's inside and of a few colours the tests draw.
const UInt16 kInside16 = (1 << 10) | (2 << 5) | 4;
const UInt16 kRed16 = 0x7C00, kGreen16 = 0x03E0;

struct Hung {};

std::vector<std::string> launched;

class PagesTest : public ::testing::Test {
 protected:
  PagesTest() {
    std::copy(std::begin(QKEL), std::end(QKEL), savedQKEL);
    for (QKELProc& slot : QKEL) slot = nullptr;
    pixMapsInited = 0;
    InitPixMaps();
    QKEL[kQKELFlushToScreen] = reinterpret_cast<QKELProc>(+[](WindowRef) { current->Flushed(); });
    current = this;
    timeInited = false;
    InitTime();
    time.StepPerUpTimeRead(1000);
    mainRECT = Rect{0, 0, 480, 640};
    EXPECT_EQ(CreatePixMap(16, &buildPMAP, &mainRECT, 0, 0, 1), noErr);
    buildWORLD = GetPixMapGWorld(buildPMAP);
    SetBundlePathForTesting(bundle.Path().c_str());
    previousLaunch = SetLaunchProc([](const std::vector<std::string>& argv) -> OSErr {
      launched.push_back(argv.back());
      return noErr;
    });
    launched.clear();
    FlushKeyState();
    theEVENT = EventRecord{};
    applQUIT = 0;
    quitEVENT = false;
    PREFS.firstPlay = 1;
    glFADER.SetBright(255);
    APPL.customEvents = nullptr;
  }
  ~PagesTest() override {
    SetLaunchProc(previousLaunch);
    SetBundlePathForTesting(nullptr);
    DestroyPixMap(&buildPMAP);
    buildWORLD = nullptr;
    std::copy(std::begin(savedQKEL), std::end(savedQKEL), QKEL);
    pixMapsInited = 0;
    APPL.customEvents = nullptr;
    applQUIT = 0;
    current = nullptr;
    mainRECT = Rect{0, 0, 480, 640};
  }

  // Every frame the viewer puts on the screen; a viewer that never lets go
  // fails the test instead of hanging it.
  void Flushed() {
    if (++flushes > 3000) throw Hung{};
    if (onFlush) onFlush();
  }
  void Key(UInt8 code) {
    platform.PostKey(PlatformEvent::KeyDown, code);
    platform.PostKey(PlatformEvent::KeyUp, code);
  }
  // A click at a point of the game picture.
  void Click(Point game) {
    Point at = GameToGlobal(game);
    platform.PostMouse(PlatformEvent::MouseDown, at);
    platform.PostMouse(PlatformEvent::MouseUp, at);
  }
  static Point Centre(const Rect& r) { return Point{SInt16((r.top + r.bottom) / 2), SInt16((r.left + r.right) / 2)}; }
  void Run() { EXPECT_NO_THROW(Instructions()) << "the viewer did not close"; }

  static inline PagesTest* current;
  QKELProc savedQKEL[std::size(QKEL)];
  FakeTime time;
  FakeEventPlatform platform;
  TempFolder bundle;
  LaunchProc previousLaunch;
  int flushes = 0;
  std::function<void()> onFlush;
};

TEST_F(PagesTest, PanelLayoutIsCentredInTheGamePicture) {
  InstructionLayout();
  EXPECT_RECT(infoRect, 64, 48, 576, 432);
  EXPECT_RECT(textPict, 24, 64, 488, 364);
  EXPECT_RECT(textRect, 80, 104, 544, 404);
  EXPECT_RECT(topicRect, 80, 64, 560, 88);
  EXPECT_RECT(blimpRect, 96, 148, 168, 348);
  EXPECT_RECT(brangRect, 200, 204, 384, 308);
  struct Choice {
    Rect pict, rect;
  };
  const Choice choices[kChoices] = {
      {{336, 0, 352, 64}, {408, 352, 424, 416}},
      {{336, 64, 352, 128}, {408, 424, 424, 488}},
      {{336, 128, 352, 192}, {408, 496, 424, 560}},
  };
  for (int c = 0; c < kChoices; ++c) {
    SCOPED_TRACE(c);
    EXPECT_PRED2(SameRect, choicePict[c], choices[c].pict) << Show(choicePict[c]);
    EXPECT_PRED2(SameRect, choiceRect[c], choices[c].rect) << Show(choiceRect[c]);
  }
  for (int n = 0; n < kTopicBands; ++n) EXPECT_RECT(topicPict[n], 0, SInt16(24 * n), 480, SInt16(24 * n + 24)) << n;

  // Another picture size moves the panel with it.
  mainRECT = Rect{0, 0, 768, 1024};
  InstructionLayout();
  EXPECT_RECT(infoRect, 256, 192, 768, 576);
  EXPECT_RECT(textRect, 272, 248, 736, 548);
  EXPECT_RECT(choiceRect[2], 688, 552, 752, 568);
}

TEST_F(PagesTest, AnimationSlotsCountersAndSparks) {
  InstructionLayout();
  for (Spark& s : _SPARK) s.active = 1;
  InitAnimations();
  EXPECT_RECT(enemRect, 88, 112, 120, 144);
  EXPECT_RECT(spinRect, 88, 176, 120, 208);
  EXPECT_RECT(wingRect, 92, 244, 116, 268);
  EXPECT_RECT(roidRect[0], 88, 304, 120, 336);
  EXPECT_RECT(roidRect[1], 148, 308, 172, 332);
  EXPECT_RECT(roidRect[2], 208, 312, 224, 328);
  EXPECT_RECT(powRect[0], 336, 120, 352, 136);
  EXPECT_RECT(powRect[1], 336, 184, 352, 200);
  EXPECT_RECT(powRect[2], 336, 248, 352, 264);
  EXPECT_EQ(roidSteps[0], 0);
  EXPECT_EQ(roidSteps[1], 12);
  EXPECT_EQ(roidSteps[2], 24);
  EXPECT_EQ(spinSteps, 8);
  EXPECT_EQ(powSteps[1], 6);
  EXPECT_EQ(powSteps[2], 12);
  EXPECT_EQ(enemDir, 1);
  EXPECT_TRUE(std::none_of(std::begin(_SPARK), std::end(_SPARK), [](const Spark& s) { return s.active; }));
}

// The enemy banks up to 4, rests, back down to 0, rests: (steps, direction,
// delay) after each of the first twenty steps.
TEST_F(PagesTest, EnemyStepsBetweenTheEndsWithPauses) {
  InstructionLayout();
  InitAnimations();
  struct State {
    UInt8 steps, dir, delay;
  };
  const State expected[20] = {{1, 1, 0}, {2, 1, 0}, {3, 1, 0}, {4, 0, 4}, {4, 0, 3}, {4, 0, 2}, {4, 0, 1},
                              {4, 0, 0}, {3, 0, 0}, {2, 0, 0}, {1, 0, 0}, {0, 1, 4}, {0, 1, 3}, {0, 1, 2},
                              {0, 1, 1}, {0, 1, 0}, {1, 1, 0}, {2, 1, 0}, {3, 1, 0}, {4, 0, 4}};
  for (int i = 0; i < 20; ++i) {
    AnimateObjects();
    SCOPED_TRACE("step " + std::to_string(i + 1));
    EXPECT_EQ(enemSteps, expected[i].steps);
    EXPECT_EQ(enemDir, expected[i].dir);
    EXPECT_EQ(enemDelay, expected[i].delay);
  }
}

// Rocks turn through 0..34, wing, spinner and power-ups through 0..15, each
// from its own start, over several wraps.
TEST_F(PagesTest, ObjectCountersWrapAtTheirLastPicture) {
  InstructionLayout();
  InitAnimations();
  const int roidStart[3] = {0, 12, 24}, powStart[3] = {0, 6, 12};
  for (int k = 1; k <= 150; ++k) {
    AnimateObjects();
    for (int i = 0; i < 3; ++i) {
      ASSERT_EQ(roidSteps[i], (roidStart[i] + k) % 35) << "rock " << i << " step " << k;
      ASSERT_EQ(powSteps[i], (powStart[i] + k) % 16) << "power-up " << i << " step " << k;
    }
    ASSERT_EQ(wingSteps, k % 16) << k;
    ASSERT_EQ(spinSteps, (8 + k) % 16) << k;
  }
}

// Slots are painted in the build port's current colour and nothing else is
// touched (no sheets are loaded here, so no object is drawn over them).
TEST_F(PagesTest, AnimateObjectsPaintsTheSlotsInTheCurrentColour) {
  InstructionLayout();
  InitAnimations();
  Fill16(buildPMAP, kGreen16);
  SetPort_(buildPMAP, nullptr);
  const RGBColor red{65535, 0, 0};
  RGBForeColor(&red);
  SetGWorld(nullptr, nullptr);  // the port it needs is its own business
  AnimateObjects();
  for (const Rect* r : {&enemRect, &spinRect, &wingRect, &roidRect[0], &roidRect[1], &roidRect[2], &powRect[0],
                        &powRect[1], &powRect[2]}) {
    SCOPED_TRACE(Show(*r));
    EXPECT_EQ(Pixel16(buildPMAP, r->left, r->top), kRed16);
    EXPECT_EQ(Pixel16(buildPMAP, r->right - 1, r->bottom - 1), kRed16);
    EXPECT_EQ(Pixel16(buildPMAP, r->right, r->bottom), kGreen16);
    EXPECT_EQ(Pixel16(buildPMAP, r->left - 1, r->top - 1), kGreen16);
  }
}

// DrawPage copies band page - 1 of the title strip to the panel's title
// area; the band's black pixels (the port's background colour) let the
// panel show through.
TEST_F(PagesTest, DrawPageCopiesItsBandTransparently) {
  InstructionLayout();
  ASSERT_EQ(CreatePixMap(16, &tempPmap, QuickRect(0, 0, 480, 192), 0, 0, 1), noErr);
  // Band n: column x holds n + 1 in red's bits where x is odd, black where even.
  for (int y = 0; y < 192; ++y)
    for (int x = 0; x < 480; ++x) SetPixel16(tempPmap, x, y, x % 2 ? UInt16((y / 24 + 1) << 10) : 0);
  SetPort_(buildPMAP, nullptr);
  const RGBColor black{0, 0, 0};
  RGBBackColor(&black);
  for (char page : {1, 5, 8}) {
    SCOPED_TRACE(int(page));
    Fill16(buildPMAP, kGreen16);
    DrawPage(page);
    for (int y : {int(topicRect.top), topicRect.top + 11, topicRect.bottom - 1}) {
      EXPECT_EQ(Pixel16(buildPMAP, topicRect.left + 1, y), UInt16(page << 10));
      EXPECT_EQ(Pixel16(buildPMAP, topicRect.right - 1, y), UInt16(page << 10));
      EXPECT_EQ(Pixel16(buildPMAP, topicRect.left, y), kGreen16) << "black is see-through";
    }
    EXPECT_EQ(Pixel16(buildPMAP, topicRect.left + 1, topicRect.top - 1), kGreen16);
    EXPECT_EQ(Pixel16(buildPMAP, topicRect.left + 1, topicRect.bottom), kGreen16);
    EXPECT_EQ(Pixel16(buildPMAP, topicRect.right + 1, topicRect.top), kGreen16);
  }
  DestroyPixMap(&tempPmap);
}

// Every way out ends the viewer after one pass: "First Play" is cleared, the
// title strip is gone and the mouse and key events behind it are flushed.
TEST_F(PagesTest, TheViewerClosesOnEscapeReturnEnterDoneOrAClickOutside) {
  InstructionLayout();
  const std::vector<std::pair<const char*, std::function<void()>>> ways = {
      {"Escape", [&] { Key(keycode::kEscape); }},
      {"Return", [&] { Key(36); }},
      {"Enter", [&] { Key(76); }},
      {"Done", [&] { Click(Centre(choiceRect[2])); }},
      {"outside",
       [&] {
         Click(Point{20, 20});
       }},
  };
  // While open, the frames it flushes show the build pixmap in the window.
  int shownFrames = 0;
  onFlush = [&] { shownFrames += FlushingEnabled() && APPL.buildToGL; };
  DisableFlushing();
  APPL.buildToGL = 0;
  for (const auto& [name, post] : ways) {
    SCOPED_TRACE(name);
    PREFS.firstPlay = 1;
    flushes = shownFrames = 0;
    post();
    platform.PostKey(PlatformEvent::KeyDown, 0, 'a');
    platform.PostMouse(PlatformEvent::MouseDown, Point{300, 400});
    Run();
    EXPECT_EQ(PREFS.firstPlay, 0);
    EXPECT_EQ(tempPmap, nullptr);
    EXPECT_EQ(PendingPlatformEvents(), 0);
    EXPECT_EQ(curPage, 1);
    EXPECT_EQ(Brightness_GL(), 255) << "faded in again";
    EXPECT_GT(shownFrames, 0);
    EXPECT_EQ(shownFrames, flushes);
    EXPECT_FALSE(FlushingEnabled()) << "the flushing state is put back";
    EXPECT_EQ(APPL.buildToGL, 0);
  }
}

TEST_F(PagesTest, ArrowsAndChoiceButtonsTurnPagesOneToEight) {
  InstructionLayout();
  struct Case {
    const char* name;
    std::function<void()> post;
    UInt8 page;
  };
  const Case cases[] = {
      {"right twice, left once", [&] { Key(124), Key(124), Key(123); }, 2},
      {"left on the first page", [&] { Key(123); }, 1},
      {"right past the last page",
       [&] {
         for (int i = 0; i < 10; ++i) Key(124);
       },
       8},
      {"next, next, back",
       [&] { Click(Centre(choiceRect[1])), Click(Centre(choiceRect[1])), Click(Centre(choiceRect[0])); }, 2},
      {"a click inside the panel", [&] { Click(Centre(textRect)); }, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.post();
    Key(keycode::kEscape);
    Run();
    EXPECT_EQ(curPage, c.page);
  }
}

// A quit request (the window's close box, the quit command) ends the viewer
// too; the picture then stays dark.
TEST_F(PagesTest, AQuitRequestEndsTheViewer) {
  QKEL[kQKELAllEventsEnabled] = reinterpret_cast<QKELProc>(+[]() -> bool { return true; });
  APPL.customEvents = [] {
    if (quitEVENT) applQUIT = 1;
    quitEVENT = false;
  };
  platform.Post(PlatformEvent::Quit);
  Run();
  EXPECT_EQ(applQUIT, 1);
  EXPECT_EQ(Brightness_GL(), 0);
  EXPECT_EQ(PREFS.firstPlay, 0);
}

// Pages 7 and 8 show the hand over the link, and a click on it opens the
// support mail.
TEST_F(PagesTest, TheLinkOnTheLastPagesShowsTheHandAndOpensTheMail) {
  InstructionLayout();
  platform.mouse = GameToGlobal(Centre(linkRect));
  for (int i = 0; i < 6; ++i) platform.PostKey(PlatformEvent::KeyDown, 124);
  std::vector<std::pair<int, bool>> seen;  // page, hand shown
  bool clicked = false;
  onFlush = [&] {
    seen.push_back({curPage, platform.handCursor});
    if (curPage == 7 && !clicked) {
      clicked = true;
      Click(Centre(linkRect));
      platform.mouse = GameToGlobal(Centre(textRect));
      platform.PostKey(PlatformEvent::KeyDown, keycode::kEscape);
    }
  };
  Run();
  ASSERT_TRUE(clicked);
  auto at = [&](int page, bool hand) { return std::find(seen.begin(), seen.end(), std::make_pair(page, hand)); };
  EXPECT_NE(at(6, false), seen.end()) << "no hand before page 7";
  EXPECT_EQ(at(6, true), seen.end());
  EXPECT_NE(at(7, true), seen.end());
  EXPECT_FALSE(platform.handCursor) << "the arrow is back once the pointer leaves";
  ASSERT_EQ(launched.size(), 1u);
  EXPECT_EQ(launched[0].rfind("mailto:", 0), 0u) << launched[0];
}

// Writes a straight-alpha RGBA picture into the test bundle.
void WritePicture(const TempFolder& bundle, const std::string& name, int w, int h,
                  const std::function<void(int x, int y, UInt8* rgba)>& paint) {
  std::vector<UInt8> pixels(size_t(w) * h * 4);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) paint(x, y, &pixels[(size_t(y) * w + x) * 4]);
  std::string folder = bundle.MakeFolder("Contents/Resources/" + name.substr(0, name.rfind('/')));
  ASSERT_EQ(SavePNG((folder + name.substr(name.rfind('/')) + ".png").c_str(), pixels.data(), w, h, 0, nullptr, 0), 1);
}

// The pages come from the bundle's pictures: the title band keeps only its
// opaque pixels, and page 5 draws each rock from the meteor sheet.
TEST_F(PagesTest, PagesShowTheTitleBandAndTheObjectsFromThePictures) {
  InstructionLayout();
  // Topics: opaque red in the left half of every band, transparent elsewhere.
  WritePicture(bundle, "Instructions/Topics", 480, 192,
               [](int x, int, UInt8* p) { p[0] = 255, p[1] = p[2] = 0, p[3] = x < 240 ? 255 : 0; });
  WritePicture(bundle, "Graphics/Meteors", 8, 8, [](int, int, UInt8* p) { p[1] = 255, p[0] = p[2] = 0, p[3] = 255; });
  Rect saved[35];
  for (int i = 0; i < 35; ++i) saved[i] = meteorFRAME[i].bounds, meteorFRAME[i].bounds = Rect{0, 0, 8, 8};
  for (int i = 0; i < 4; ++i) Key(124);
  // Quitting keeps the last page in the build pixmap.
  QKEL[kQKELAllEventsEnabled] = reinterpret_cast<QKELProc>(+[]() -> bool { return true; });
  APPL.customEvents = [] {
    if (quitEVENT) applQUIT = 1;
    quitEVENT = false;
  };
  bool asked = false;
  onFlush = [&] {
    if (curPage == 5 && !asked) platform.Post(PlatformEvent::Quit), asked = true;
  };
  Run();
  for (int i = 0; i < 35; ++i) meteorFRAME[i].bounds = saved[i];
  ASSERT_EQ(applQUIT, 1);
  EXPECT_EQ(Pixel16(buildPMAP, topicRect.left + 10, topicRect.top + 5), kRed16);
  EXPECT_EQ(Pixel16(buildPMAP, topicRect.right - 10, topicRect.top + 5), kInside16) << "the panel shows through";
  for (const Rect& r : roidRect)
    EXPECT_EQ(Pixel16(buildPMAP, (r.left + r.right) / 2, (r.top + r.bottom) / 2), kGreen16);
  EXPECT_EQ(Pixel16(buildPMAP, enemRect.left, enemRect.top), kInside16) << "an empty slot is painted";
  EXPECT_EQ(Pixel16(buildPMAP, 10, 10), 0) << "black around the panel";
}

}  // namespace

namespace {

bool allEventsOn = false;

// The older program entry: after the first play it only fades in; on the
// first play it shows the viewer. Either way the events go to the program
// afterwards, and while another application is in front it waits, until it
// comes to the front or is asked to quit.
TEST_F(PagesTest, MainProgramShowsTheViewerOnlyOnTheFirstPlay) {
  InstructionLayout();
  QKEL[kQKELEnableAllEvents] = reinterpret_cast<QKELProc>(+[] { allEventsOn = true; });
  QKEL[kQKELAllEventsEnabled] = reinterpret_cast<QKELProc>(+[]() -> bool { return allEventsOn; });
  APPL.customEvents = [] {
    if (quitEVENT) applQUIT = 1;
    quitEVENT = false;
  };
  struct Case {
    const char* name;
    UInt8 firstPlay;
    bool front;
    int result;
    bool viewerShown;
  };
  const Case cases[] = {
      {"played before", 0, true, 0, false},
      {"first play", 1, true, 0, true},
      {"first play, in the background until quit", 1, false, 1, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PREFS.firstPlay = c.firstPlay;
    platform.front = c.front;
    applQUIT = 0;
    allEventsOn = false;
    curPage = 0;
    MinBright_GL();
    Key(keycode::kEscape);
    platform.PostKey(PlatformEvent::KeyDown, 0, 'a');
    if (!c.front) platform.Post(PlatformEvent::Quit);
    int result = -1;
    EXPECT_NO_THROW(result = MainProgram());
    EXPECT_EQ(result, c.result);
    EXPECT_EQ(curPage != 0, c.viewerShown);
    EXPECT_EQ(PREFS.firstPlay, 0);
    EXPECT_TRUE(allEventsOn);
    EXPECT_EQ(PendingPlatformEvents(), 0);
    EXPECT_EQ(Brightness_GL(), 255);
  }
}

}  // namespace
