// The screens around the game as a player meets them, read back from the
// screen: the volume lamps under a held and dragged pointer, the pause box
// and the questions in front of it, and the name typed on the high-score
// panel.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <fstream>
#include <regex>
#include <string>
#include <thread>

#include "support/Poll.h"
#include "support/TempFolder.h"
#include "support/e2e/Desktop.h"
#include "support/e2e/GameScreens.h"
#include "support/e2e/Program.h"

// Last: Xlib's macro Status clashes with a name of the harness.
#include <X11/Xlib.h>
#undef Status

using namespace e2e;
using std::chrono::milliseconds;

namespace {

// The Sound buttons of the menu and of the pause box: 3/4 of their 160 x 40
// picture, moved 32 right for their light. Their eight volume lamps (3/4 of
// 16 x 24) start 8 right of them, centred on them and one higher.
struct Lamps {
  int left, middleY;
  int X(int lamp) const { return left + lamp * 12 + 6; }
  // The pointer is put low on a lamp, as the drawn cursor hangs below and
  // right of it; the lamp is read high up.
  int PointerY() const { return middleY + 5; }
  // A lamp shows lit at full brightness and unlit at a quarter: the green of
  // its upper middle tells which.
  int Lit(const ScreenImage& shown) const {
    int lit = 0;
    for (int i = 0; i < 8; ++i)
      if (GamePixel(shown, X(i), middleY - 5).g >= 150) ++lit;
    return lit;
  }
};
const Lamps kMenuLamps{52 + 32 + 120 + 8, 174 + 15 - 1};
// The pause box (340 x 180) is centred; its Sound button is the second row,
// 40 in and 18 + 36 down.
const Lamps kPauseLamps{kBoxLeft + 40 + 32 + 120 + 8, kBoxTop + 18 + 36 + 15 - 1};

bool Paused(const ScreenImage& s) { return PauseBoxMatches(s) >= int(PauseBoxSamples().size()) * 9 / 10; }

// Once the game takes keys (a game pauses only at full brightness), Escape
// once, and the pause box; the last grab.
ScreenImage PauseWithEscape(Program& program) {
  if (!program.WaitForReady("game") || !program.PressKey("Escape")) return program.GrabContent();
  return program.WaitForContent(Paused);
}

class FrontEndTest : public ::testing::Test {
 protected:
  FrontEndTest() { home.WritePreferences("<dict>\t<key>Full Screen</key>\t<false/>\t</dict>"); }

  void QuitFromTheMenu() {
    ASSERT_TRUE(program.PressKey("q", {"Control_L"})) << program.Diagnostics();
    auto status = program.WaitForExit();
    ASSERT_TRUE(status) << program.Diagnostics();
    EXPECT_TRUE(status->Clean()) << Describe(*status) << "\n" << program.Diagnostics();
  }

  Desktop desktop{1280, 1024};
  UserHome home;
  Program program{desktop, home};
};

// A press on a lamp sets the volume to that lamp, the lamps follow the
// pointer while the button is held, and the eighth lamp gives the full
// volume: on the menu and on the pause box.
class VolumeLampsTest : public FrontEndTest, public ::testing::WithParamInterface<bool> {};

TEST_P(VolumeLampsTest, FollowADragAndTheEighthGivesFullVolume) {
  const bool paused = GetParam();
  const Lamps& lamps = paused ? kPauseLamps : kMenuLamps;
  ASSERT_EQ(OpenToTheMenu(program), "");
  if (paused) {
    ASSERT_TRUE(GamePlaying(PlayFromTheMenu(program))) << "no game\n" << program.Diagnostics();
    ASSERT_TRUE(Paused(PauseWithEscape(program))) << "no pause box\n" << program.Diagnostics();
  }
  ASSERT_TRUE(program.WaitForReady(paused ? "pause box" : "main screen")) << program.Diagnostics();
  ASSERT_EQ(lamps.Lit(program.GrabContent()), 6) << "the default volume shows six lamps\n" << program.Diagnostics();

  // Pressed on the second lamp: two lit, while the button is still down.
  auto to = [&](int lamp) {
    ScreenPoint p = program.GamePointOnScreen(lamps.X(lamp), lamps.PointerY());
    desktop.MovePointer(int(p.x), int(p.y));
  };
  to(1);
  ASSERT_TRUE(program.ButtonDown()) << program.Diagnostics();
  ScreenImage pressed = program.WaitForContent([&](const ScreenImage& s) { return lamps.Lit(s) == 2; });
  EXPECT_EQ(lamps.Lit(pressed), 2) << program.Diagnostics();

  // Dragged to the fifth lamp, held: five lit before the button comes up.
  for (int lamp = 2; lamp <= 4; ++lamp) {
    to(lamp);
    std::this_thread::sleep_for(milliseconds(50));
  }
  ScreenImage dragged = program.WaitForContent([&](const ScreenImage& s) { return lamps.Lit(s) == 5; });
  EXPECT_EQ(lamps.Lit(dragged), 5) << "the lamps did not follow the held pointer\n" << program.Diagnostics();
  // And back to the third lamp with the pointer moved by the desktop (a
  // warp, as remote desktops and tablets move it, which no device reports).
  for (int lamp = 3; lamp >= 2; --lamp) {
    ScreenPoint p = program.GamePointOnScreen(lamps.X(lamp), lamps.PointerY());
    XWarpPointer(desktop.X(), None, DefaultRootWindow(desktop.X()), 0, 0, 0, 0, int(p.x), int(p.y));
    XFlush(desktop.X());
    std::this_thread::sleep_for(milliseconds(50));
  }
  ScreenImage warped = program.WaitForContent([&](const ScreenImage& s) { return lamps.Lit(s) == 3; });
  EXPECT_EQ(lamps.Lit(warped), 3) << "the lamps did not follow the warped pointer\n" << program.Diagnostics();
  ASSERT_TRUE(program.ButtonUp()) << program.Diagnostics();

  // A click on the eighth lamp lights all eight.
  ASSERT_TRUE(program.ClickGame(lamps.X(7), lamps.PointerY())) << program.Diagnostics();
  ScreenImage full = program.WaitForContent([&](const ScreenImage& s) { return lamps.Lit(s) == 8; });
  EXPECT_EQ(lamps.Lit(full), 8) << "the eighth lamp cannot be pressed\n" << program.Diagnostics();

  if (paused) {
    ASSERT_TRUE(QuitGameInProgress(program)) << program.Diagnostics();
  } else {
    QuitFromTheMenu();
  }
  const std::string prefs = ReadWholeFile(home.PreferencesFile());
  EXPECT_TRUE(std::regex_search(prefs, std::regex("Sound Volume</key>\\s*<integer>255<"))) << prefs;
}

INSTANTIATE_TEST_SUITE_P(Screens, VolumeLampsTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                           return std::string(info.param ? "PauseBox" : "Menu");
                         });

// ------------------------------------------------------------ the pause

// A game that paused itself as the player went to another window: back
// again, Escape ends the pause, and the game does not pause again.
TEST_F(FrontEndTest, EscapeEndsAPauseTheGameTookWhenThePlayerLeft) {
  ASSERT_EQ(OpenToTheMenu(program), "");
  ASSERT_TRUE(GamePlaying(PlayFromTheMenu(program))) << "no game\n" << program.Diagnostics();
  XWindow other = desktop.OpenOtherWindow(ScreenRect{10, 10, 200, 150});
  ASSERT_TRUE(PollUntil([&] { return desktop.IsShown(other); }, {}, Program::kTimeout));
  desktop.Activate(other);
  ASSERT_TRUE(Paused(program.WaitForContent(Paused))) << "leaving did not pause\n" << program.Diagnostics();
  desktop.Activate(program.Window());
  ASSERT_TRUE(program.WaitForFocus()) << program.Diagnostics();
  // Once the program has taken its return, the pause box takes keys again.
  ASSERT_TRUE(program.WaitForReady("pause box")) << program.Diagnostics();

  ASSERT_TRUE(program.PressKey("Escape")) << program.Diagnostics();
  auto playing = [](const ScreenImage& s) { return GamePlaying(s) && !Paused(s); };
  ScreenImage resumed = program.WaitForContent(playing);
  EXPECT_TRUE(playing(resumed)) << "Escape did not end the pause\n" << program.Diagnostics();
  // Watched a while: the box does not come back.
  ScreenImage later = program.WaitForContent(Paused, milliseconds(1500));
  EXPECT_FALSE(Paused(later)) << "the game paused again after Escape\n" << program.Diagnostics();
  ASSERT_TRUE(QuitGameInProgress(program)) << program.Diagnostics();
}

// The quit question over the pause box takes Escape: it goes, and the pause
// box stands as before.
TEST_F(FrontEndTest, EscapeOnTheQuitQuestionLeavesThePauseBox) {
  ASSERT_EQ(OpenToTheMenu(program), "");
  ASSERT_TRUE(GamePlaying(PlayFromTheMenu(program))) << "no game\n" << program.Diagnostics();
  ASSERT_TRUE(Paused(PauseWithEscape(program))) << "no pause box\n" << program.Diagnostics();
  ASSERT_TRUE(program.WaitForReady("pause box")) << program.Diagnostics();
  ASSERT_TRUE(program.PressKey("q", {"Control_L"})) << program.Diagnostics();
  ASSERT_TRUE(QuitQuestionShown(program.WaitForContent(QuitQuestionShown))) << program.Diagnostics();
  ASSERT_TRUE(program.WaitForReady("quit question")) << program.Diagnostics();

  auto boxAlone = [](const ScreenImage& s) { return Paused(s) && QuitPanelMatches(s) < QuitPanelSamples() / 2; };
  // One Escape: the question shows, so it is open and hears it. (A second
  // one, once the box alone is left, would be the box's to answer.)
  ASSERT_TRUE(program.PressKey("Escape")) << program.Diagnostics();
  ScreenImage answered = program.WaitForContent(boxAlone);
  EXPECT_TRUE(boxAlone(answered)) << "box " << PauseBoxMatches(answered) << " of " << PauseBoxSamples().size()
                                  << ", question " << QuitPanelMatches(answered) << " of " << QuitPanelSamples() << "\n"
                                  << program.Diagnostics();
  ASSERT_TRUE(QuitGameInProgress(program)) << program.Diagnostics();
}

// ------------------------------------------------------- the name panel

// The name panel (864 x 192 shown at 1/1.6) stands centred, its middle at
// 35% of the height; the name field is 200 x 32 at 234, 56 on it. Inside
// the field, clear of its rim: the text's band.
const int kPanelLeft = 320 - 270, kPanelTop = 168 - 60;
const int kFieldLeft = kPanelLeft + 234, kFieldTop = kPanelTop + 56;
const int kTextLeft = kFieldLeft + 6, kTextRight = kFieldLeft + 194, kTextTop = kFieldTop + 7,
          kTextBottom = kFieldTop + 25;

// The columns of the field where white text (or the caret) shows, and the
// points that show the blue band of a selected name.
struct FieldReading {
  int firstColumn = -1, lastColumn = -1, textPoints = 0, bandPoints = 0;
};
FieldReading ReadField(const ScreenImage& s) {
  FieldReading r;
  for (int x = kTextLeft; x < kTextRight; ++x)
    for (int y = kTextTop; y < kTextBottom; ++y) {
      const Rgba c = GamePixel(s, x, y);
      if (c.r >= 190 && c.g >= 190 && c.b >= 190) {
        ++r.textPoints;
        if (r.firstColumn < 0) r.firstColumn = x;
        r.lastColumn = x;
      } else if (c.b >= 150 && c.r <= 90 && c.g <= 140) {
        ++r.bandPoints;
      }
    }
  return r;
}

// After a game that made the table, the panel offers the last game's name
// selected; what is typed replaces it and shows in the field before Return.
TEST_F(FrontEndTest, TheNameTypedShowsOnThePanelAndReplacesTheOfferedOne) {
  home.WritePreferences(
      "<dict>\t<key>Full Screen</key>\t<false/>\t<key>Last Player 1</key>\t"
      "<string>Maximilian Longname Testpilot</string>\t</dict>");
  ASSERT_EQ(OpenToTheMenu(program), "");
  ASSERT_TRUE(GamePlaying(PlayFromTheMenu(program))) << "no game\n" << program.Diagnostics();
  // The first press of fire joins the game, once the game takes keys.
  ASSERT_TRUE(program.WaitForReady("game")) << program.Diagnostics();
  ASSERT_TRUE(TapFire(program, 1)) << program.Diagnostics();
  ASSERT_EQ(PlayUntilScored(
                program, [](const ScreenImage& s) { return ScoreDigits(s) >= 20 || PanelAsks(s); },
                [](const ScreenImage& s) { return MainDiffers(s) <= 15; }),
            "");
  if (!PanelAsks(program.GrabContent())) {
    ASSERT_TRUE(Paused(PauseWithEscape(program))) << "no pause\n" << program.Diagnostics();
    ASSERT_TRUE(program.WaitForReady("pause box")) << program.Diagnostics();
    ASSERT_TRUE(program.ClickGame(kBoxLeft + 40 + 60, kBoxTop + 18 + 3 * 36 + 15))  // Abort
        << program.Diagnostics();
  }
  // The offered name stands selected, on its band, the field full of it.
  ScreenImage asking =
      program.WaitForContent([](const ScreenImage& s) { return PanelAsks(s) && ReadField(s).bandPoints >= 200; });
  ASSERT_TRUE(PanelAsks(asking)) << "no name panel\n" << program.Diagnostics();
  const FieldReading offered = ReadField(asking);
  EXPECT_GE(offered.bandPoints, 200) << "the offered name is not shown selected";
  EXPECT_GE(offered.textPoints, 100) << "the offered name does not show";
  ASSERT_TRUE(program.WaitForReady("name panel 1")) << program.Diagnostics();

  for (const char* key : {"A", "b", "b", "y"})
    ASSERT_TRUE(program.PressKey(key, key[0] == 'A' ? std::vector<std::string>{"Shift_L"} : std::vector<std::string>{}))
        << program.Diagnostics();
  // Four letters show from the field's start, about 40 pixels of text, the
  // band gone.
  auto typed = [](const ScreenImage& s) {
    const FieldReading r = ReadField(s);
    return r.textPoints >= 40 && r.lastColumn - kTextLeft < 70 && r.bandPoints < 20;
  };
  ScreenImage shown = program.WaitForContent(typed);
  const FieldReading r = ReadField(shown);
  EXPECT_TRUE(typed(shown)) << "text points " << r.textPoints << ", columns " << r.firstColumn << " to " << r.lastColumn
                            << ", band " << r.bandPoints << "\n"
                            << program.Diagnostics();
  EXPECT_LT(r.firstColumn - kTextLeft, 8) << "the text starts at the field's start";

  ASSERT_TRUE(program.PressKey("Return")) << program.Diagnostics();
  ScreenImage named = program.WaitForContent([](const ScreenImage& s) { return !PanelAsks(s); });
  ASSERT_FALSE(PanelAsks(named)) << "the panel stayed\n" << program.Diagnostics();
  const std::string saved = ReadWholeFile(home.ConfigHome() + "/Halvane/Halvane Scores.plist");
  EXPECT_NE(saved.find("<string>Abby</string>"), std::string::npos) << saved;
  ASSERT_TRUE(program.WaitForReady("main screen")) << program.Diagnostics();
  QuitFromTheMenu();
}

// ------------------------------------------------------------- the sound

// The sound device is closed at the end: the audio library reports no device
// left open, and a sound written to a wave file ends with a finished header
// (its sizes those of the file).
TEST_F(FrontEndTest, QuittingClosesTheSoundDeviceAndFinishesAWaveOutput) {
  const std::string wave = home.Folder().Path() + "/out.wav", conf = home.Folder().Path() + "/alsoft.conf";
  {
    std::ofstream out(conf);
    out << "[general]\ndrivers=wave\n[wave]\nfile=" << wave << "\n";
  }
  program.SetEnv("ALSOFT_DRIVERS", "wave");
  program.SetEnv("ALSOFT_CONF", conf);
  ASSERT_EQ(OpenToTheMenu(program), "");
  QuitFromTheMenu();
  EXPECT_EQ(program.Stderr().find("not closed"), std::string::npos) << program.Stderr();
  const std::string bytes = ReadWholeFile(wave);
  ASSERT_GT(bytes.size(), 44u) << "no wave output";
  auto le32 = [&](size_t at) {
    return uint32_t(uint8_t(bytes[at])) | uint32_t(uint8_t(bytes[at + 1])) << 8 |
           uint32_t(uint8_t(bytes[at + 2])) << 16 | uint32_t(uint8_t(bytes[at + 3])) << 24;
  };
  ASSERT_EQ(bytes.substr(0, 4), "RIFF");
  EXPECT_EQ(le32(4), bytes.size() - 8) << "the header's size is not the file's";
}

}  // namespace
