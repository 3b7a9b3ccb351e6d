#include "ShellFixture.h"
#include "platform/QuickDraw.h"

namespace {

class GameMouseTest : public ShellTest {};

struct Letterbox {
  SInt16 width, height;
  Rect scaled;
};

// The game picture of 640 by 480, scaled and centred in windows of several
// shapes, with the window's content at global (100, 200).
const Letterbox letterboxes[] = {
    {640, 480, {0, 0, 480, 640}},     {1024, 768, {0, 0, 768, 1024}},     {1000, 700, {0, 33, 700, 967}},
    {1280, 800, {0, 106, 800, 1174}}, {1920, 1080, {0, 240, 1080, 1680}}, {400, 600, {150, 0, 450, 400}},
    {320, 240, {0, 0, 240, 320}},     {1360, 768, {0, 168, 768, 1192}},   {720, 720, {90, 0, 630, 720}},
};

void PrintTo(const Letterbox& l, std::ostream* os) { *os << l.width << "x" << l.height; }

class LetterboxTest : public ShellTest, public ::testing::WithParamInterface<Letterbox> {
 protected:
  void SetUp() override {
    const Letterbox& l = GetParam();
    platform.window = Rect{100, 200, SInt16(100 + l.height), SInt16(200 + l.width)};
  }
  Point Global(SInt16 h, SInt16 v) { return Point{SInt16(100 + v), SInt16(200 + h)}; }
};

TEST_P(LetterboxTest, ScaledRectKeepsTheShape) {
  Rect r;
  GetScaledGameRect(&r);
  const Rect& want = GetParam().scaled;
  EXPECT_EQ(r.top, want.top);
  EXPECT_EQ(r.left, want.left);
  EXPECT_EQ(r.bottom, want.bottom);
  EXPECT_EQ(r.right, want.right);
}

TEST_P(LetterboxTest, PointerMapsOntoTheGamePicture) {
  const Rect& s = GetParam().scaled;
  struct Probe {
    SInt16 h, v;    // local
    SInt16 gh, gv;  // game
  } probes[] = {
      {s.left, s.top, 0, 0},
      {SInt16((s.left + s.right) / 2), SInt16((s.top + s.bottom) / 2), 320, 240},
      {SInt16(s.right - 1), SInt16(s.bottom - 1), 639, 479},
  };
  for (const Probe& p : probes) {
    platform.mouse = Global(p.h, p.v);
    Point g = GetGameMouse();
    // Within one game pixel: the scale need not be a whole number.
    EXPECT_NEAR(g.h, p.gh, 1) << "local h " << p.h;
    EXPECT_NEAR(g.v, p.gv, 1) << "local v " << p.v;
  }
  platform.mouse = Global(SInt16(s.left - 1), SInt16(s.top - 1));
  EXPECT_LT(GetGameMouse().h, 0);
  EXPECT_LT(GetGameMouse().v, 0);
  // Game to global and back comes within one game pixel (both ways floor).
  for (Point game : {Point{0, 0}, Point{240, 320}, Point{479, 639}, Point{17, 601}}) {
    Point back = GlobalToGame(GameToGlobal(game));
    EXPECT_NEAR(back.v, game.v, 1);
    EXPECT_NEAR(back.h, game.h, 1);
  }
}

INSTANTIATE_TEST_SUITE_P(Windows, LetterboxTest, ::testing::ValuesIn(letterboxes), [](const auto& info) {
  return std::to_string(info.param.width) + "x" + std::to_string(info.param.height);
});

TEST_F(GameMouseTest, PointsLeftOfThePictureMapOutsideIt) {
  platform.window = Rect{0, 0, 700, 1000};
  EXPECT_LT(LocalToGame(Point{350, 32}).h, 0);
  EXPECT_GE(LocalToGame(Point{350, 33}).h, 0);
  EXPECT_GE(LocalToGame(Point{350, 967}).h, 640);
}

TEST_F(GameMouseTest, SettingThePointerClampsToTheScreen) {
  platform.screen = Rect{0, 0, 768, 1024};
  SetGlobalMouse(Point{-5, 2000});
  EXPECT_EQ(platform.mouse.v, 0);
  EXPECT_EQ(platform.mouse.h, 1023);
  platform.window = Rect{100, 200, 580, 840};
  SetGameMouse(Point{240, 320});
  EXPECT_EQ(platform.mouse.v, 340);
  EXPECT_EQ(platform.mouse.h, 520);
  OffsetGameMouse(10, -10);
  EXPECT_EQ(platform.mouse.v, 330);
  EXPECT_EQ(platform.mouse.h, 530);
  OffsetMouse(-30, 5);
  EXPECT_EQ(platform.mouse.v, 335);
  EXPECT_EQ(platform.mouse.h, 500);
  Rect r{230, 295, 240, 305};
  EXPECT_TRUE(MouseInRect(&r));
  r.right = 300;
  EXPECT_FALSE(MouseInRect(&r));
}

TEST_F(GameMouseTest, MouseInRegionFollowsItsMask) {
  platform.window = Rect{100, 200, 580, 840};
  UInt8 mask[4] = {1, 0, 0, 1};  // a 2 by 2 region: its diagonal
  OpaqueRgnHandle region{Rect{10, 20, 12, 22}, mask};
  RgnHandle handle = &region;
  struct Probe {
    SInt16 h, v;
    bool inside;
  } probes[] = {{20, 10, true}, {21, 10, false}, {20, 11, false}, {21, 11, true}, {22, 11, false}, {19, 10, false}};
  for (const Probe& p : probes) {
    platform.mouse = Point{SInt16(100 + p.v), SInt16(200 + p.h)};
    EXPECT_EQ(MouseInRgn(&handle), p.inside) << p.h << "," << p.v;
  }
  region.mask = nullptr;
  platform.mouse = Point{111, 221};
  EXPECT_TRUE(MouseInRgn(&handle));
}

TEST_F(GameMouseTest, UserInputReportsClicksInGameCoordinates) {
  platform.window = Rect{100, 200, 580, 840};
  UserInput in{};

  platform.PostMouse(PlatformEvent::MouseDown, Point{150, 210});
  GetEvent(0, nullptr);
  GetUserInput(&in);
  EXPECT_EQ(in.clicked, 1);
  EXPECT_EQ(in.down, 1);
  EXPECT_EQ(in.where.v, 50);
  EXPECT_EQ(in.where.h, 10);

  platform.mouse = Point{400, 500};
  GetEvent(0, nullptr);
  GetUserInput(&in);
  EXPECT_EQ(in.clicked, 0);
  EXPECT_EQ(in.down, 1);  // still held
  EXPECT_EQ(in.where.v, 300);
  EXPECT_EQ(in.where.h, 300);

  platform.front = false;
  in.clicked = 7;
  GetUserInput(&in);
  EXPECT_EQ(in.down, 0);
  EXPECT_EQ(in.where.v, -1);
  EXPECT_EQ(in.where.h, -1);
  EXPECT_EQ(in.clicked, 7);
}

TEST_F(GameMouseTest, NoClickWhileTheWindowIsMinimised) {
  platform.minimised = true;
  platform.PostMouse(PlatformEvent::MouseDown, Point{150, 210});
  GetEvent(0, nullptr);
  SInt16 h, v;
  EXPECT_FALSE(ClickEvent(&h, &v));
}

}  // namespace
