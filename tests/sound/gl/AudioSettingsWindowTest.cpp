// The "Audio Settings" window as the user sees it: its icon drawn from the
// bundle, and the channel pop-up opened and an item chosen with the mouse.
#include <GL/gl.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <deque>
#include <functional>

#include "foundation/Paths.h"
#include "foundation/PlistTag.h"
#include "graphics/PNGFile.h"
#include "graphics/RenderedDialogs.h"
#include "platform/DialogModel.h"
#include "shell/NibDialogs.h"
#include "sound/AudioPrefs.h"
#include "sound/AudioPrefsDialog.h"
#include "sound/SoundChannels.h"
#include "sound/SoundMixer.h"
#include "support/DisplayCheck.h"
#include "support/FakeEventPlatform.h"
#include "support/PictureColour.h"
#include "support/RecordingDialogs.h"
#include "support/RenderedDialogDriver.h"

namespace {

class AudioSettingsWindow : public RenderedDialogDriver {
 protected:
  void SetUp() override {
    RenderedDialogDriver::SetUp();
    if (skip) return;
    std::string here = __FILE__;
    if (!QKEngineNIB)
      LoadQKEngineNibFile((here.substr(0, here.rfind("/tests/")) + "/resources/QK Engine.plist").c_str());
    const char* bundle = getenv("HALVANE_BUNDLE");
    SetBundlePathForTesting(bundle ? bundle : "");
    soundInited = 0;
    firstChan = nullptr;
    InitAudio();
  }
  void TearDown() override {
    if (skip) return;
    RenderedDialogDriver::TearDown();
    DisposeSoundMixer_Sound();
    SetBundlePathForTesting(nullptr);
  }

  FakeEventPlatform platform;
  PlistTag document;
};

TEST_F(AudioSettingsWindow, ShowsItsIconAndTheChannelMenuTakesAClick) {
  if (skip) return;
  audioPREFS.numChannels = 2;
  Pixel icon{}, closedMenu{}, openMenu{};
  ControlRef popup = nullptr;
  std::vector<std::string> items;
  steps.push_back([&] {
    icon = Average(Rect{14, 20, 46, 52});
    popup = GetControlByCommand(dialog, FOUR_CHAR('c', 'h', 'a', 'n'));
    ASSERT_NE(popup, nullptr);
    items = PopupItems(popup);
    closedMenu = Average(PopupItemRect(popup, SInt16(height), 3));
    ClickIn(popup->bounds);
  });
  // Posted input may wait a pass of the dialog (SDL ends a polling pass at the
  // mark its last pump left), so the menu is looked for until it shows.
  int tries = 0;
  std::function<void()> whenOpen = [&] {
    openMenu = Average(PopupItemRect(popup, SInt16(height), 3));
    bool open = std::abs(openMenu.r - closedMenu.r) + std::abs(openMenu.g - closedMenu.g) > 10;
    if (!open && ++tries < 200) {
      steps.push_front(whenOpen);
      return;
    }
    ClickIn(PopupItemRect(popup, SInt16(height), 3));  // "6"
    steps.push_back([&] { Key(SDLK_RETURN); });
  };
  steps.push_back(whenOpen);
  AudioPrefsDialog(&document, nullptr);
  Pixel expected = Composite(GetResourcesPath() + "/QK Resources/Audio.icns", 234);
  ASSERT_GE(expected.r, 0);
  EXPECT_NEAR(icon.r, expected.r, 10);
  EXPECT_NEAR(icon.g, expected.g, 10);
  EXPECT_NEAR(icon.b, expected.b, 10);
  EXPECT_GT(std::abs(expected.r - 234) + std::abs(expected.g - 234) + std::abs(expected.b - 234), 20);
  // The menu lay over what was there before it opened.
  EXPECT_GT(std::abs(openMenu.r - closedMenu.r) + std::abs(openMenu.g - closedMenu.g), 10);
  EXPECT_EQ(items, (std::vector<std::string>{"2", "4", "6", "8"}));
  EXPECT_EQ(audioPREFS.numChannels, 6);
}

}  // namespace
