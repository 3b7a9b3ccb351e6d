#include <cstdlib>
#include <map>

#include "DialogFixture.h"
#include "foundation/Paths.h"
#include "foundation/PlistTag.h"
#include "platform/KeyCodes.h"
#include "shell/MainPrefs.h"
#include "shell/PrefsDialogs.h"
#include "support/TempFolder.h"

namespace {

class PrefsDialogsTest : public DialogTest {
 protected:
  PrefsDialogsTest() {
    mainPREFS.Defaults(false);
    mainPREFS.fullScreen = false;
    mainPREFS.graphicsMode = true;
    APPL.SetName("Halvane", "Halvane");
  }
  // Clicks the given radio button of the graphics group.
  void ChooseGraphics(size_t which) {
    presenter.Do([which](const DialogView& v) {
      ControlRef group = GetControlByCommand(v.window, kCommandGraphics);
      return DialogAction{DialogAction::Control, -1, 0, 0, group->children[which], 0};
    });
  }
};

TEST_F(PrefsDialogsTest, OkKeepsTheChoices) {
  presenter.ClickControl(kCommandFull);
  ChooseGraphics(0);
  presenter.Key(13);
  EXPECT_EQ(MainPrefsDialog(0), kHICommandOK);
  EXPECT_TRUE(mainPREFS.fullScreen);
  EXPECT_FALSE(mainPREFS.graphicsMode);
  const DialogView& v = presenter.shown.at(0);
  EXPECT_EQ(v.title, "Halvane Preferences");
  for (const auto& b : v.buttons) {
    EXPECT_NE(b.title, "Quit");
    if (b.command == kCommandInputs || b.command == kCommandRumble) {
      EXPECT_FALSE(b.enabled);
    }
  }
}

TEST_F(PrefsDialogsTest, CancelChangesNothing) {
  static int switches;
  switches = 0;
  QKEL[kQKELFullScreenMode] = reinterpret_cast<QKELProc>(+[](unsigned char) { ++switches; });
  presenter.ClickControl(kCommandFull);
  ChooseGraphics(0);
  presenter.Key(keychar::kEscape);
  EXPECT_EQ(MainPrefsDialog(0), kHICommandCancel);
  EXPECT_FALSE(mainPREFS.fullScreen);
  EXPECT_TRUE(mainPREFS.graphicsMode);
  EXPECT_EQ(switches, 0);
}

TEST_F(PrefsDialogsTest, ChangedSettingsAreSaved) {
  ScopedHome home;
  mainPREFS.SetFileName("Dialog Test Preferences");
  presenter.ClickControl(kCommandFull);
  presenter.ClickCommand(kHICommandOK);
  EXPECT_EQ(MainPrefsDialog(0), kHICommandOK);
  PlistTag dict;
  EXPECT_EQ(mainPREFS.Save(&dict), 0);
  dict.DeleteChildren();
  mainPREFS.Defaults(false);
  mainPREFS.fullScreen = false;
  PlistTag loaded;
  EXPECT_EQ(mainPREFS.Load(&loaded), 0);
  EXPECT_TRUE(mainPREFS.fullScreen);
  loaded.DeleteChildren();
}

TEST_F(PrefsDialogsTest, PanelFlagsWidenTheWindowAndAddButtons) {
  struct Case {
    UInt8 online, game, keys;
    std::vector<UInt32> extra;
  } cases[] = {
      {0, 0, 0, {}},
      {1, 0, 1, {kCommandOnline, kCommandKeys}},
      {1, 1, 1, {kCommandOnline, kCommandGame, kCommandKeys}},
  };
  for (const Case& c : cases) {
    APPL.onlinePanel = c.online;
    APPL.gamePanel = c.game;
    APPL.keysPanel = c.keys;
    presenter.shown.clear();
    presenter.Key(keychar::kEscape);
    MainPrefsDialog(0);
    const DialogView& v = presenter.shown.at(0);
    EXPECT_EQ(v.bounds.right - v.bounds.left, 360 + 64 * SInt32(c.extra.size()));
    std::vector<UInt32> added;
    SInt16 lastRight = 0;
    for (const auto& b : v.buttons) {
      if (b.command == kCommandAudio) lastRight = b.bounds.right;
      if (b.command == kCommandOnline || b.command == kCommandGame || b.command == kCommandKeys) {
        added.push_back(b.command);
        EXPECT_EQ(b.bounds.left, lastRight + 8);
        lastRight = b.bounds.right;
      }
    }
    EXPECT_EQ(added, c.extra);
  }
}

TEST_F(PrefsDialogsTest, GameAndKeysPanelsCallTheirHooks) {
  static int game, keys;
  game = keys = 0;
  APPL.gamePanel = APPL.keysPanel = 1;
  APPL.prefsDialog = [](WindowRef) -> SInt8 { return SInt8(++game); };
  APPL.keyboardDialog = [] { ++keys; };
  presenter.ClickControl(kCommandGame);
  presenter.ClickControl(kCommandKeys);
  presenter.Key(13);
  EXPECT_EQ(MainPrefsDialog(0), kHICommandOK);
  EXPECT_EQ(game, 1);
  EXPECT_EQ(keys, 1);
}

// The panels show the bundle's icons: PNG files under the ".icns" names the
// dialogs ask for.
TEST_F(PrefsDialogsTest, PanelsShowTheBundlesIcons) {
  const char* bundle = getenv("HALVANE_BUNDLE");
  if (!bundle) GTEST_SKIP() << "HALVANE_BUNDLE is set by CTest";
  SetBundlePathForTesting(bundle);
  std::string resources = GetResourcesPath() + "/";
  std::map<UInt32, std::string> shown;
  presenter.Do([&](const DialogView& v) {
    for (UInt32 command : {kCommandInputs, kCommandRumble, kCommandAudio})
      shown[command] = GetControlByCommand(v.window, command)->iconPath;
    return DialogAction{DialogAction::Key, -1, 27, 53, nullptr, 0};
  });
  MainPrefsDialog(0);
  EXPECT_EQ(shown[kCommandInputs], resources + "QK Resources/Inputs.icns");
  EXPECT_EQ(shown[kCommandRumble], resources + "QK Resources/Rumble.icns");
  EXPECT_EQ(shown[kCommandAudio], resources + "QK Resources/Audio.icns");
  std::string online;
  presenter.Do([&](const DialogView& v) {
    online = GetControlByCommand(v.window, FOUR_CHAR('i', 'c', 'o', 'n'))->iconPath;
    return DialogAction{DialogAction::Key, -1, 27, 53, nullptr, 0};
  });
  OnlinePrefsDialog(nullptr);
  EXPECT_EQ(online, resources + "QK Resources/Online.icns");
  SetBundlePathForTesting(nullptr);
}

TEST_F(PrefsDialogsTest, OnlineSettingsShowOnlyWhatIsBuilt) {
  bool portHidden = false;
  presenter.Do([&](const DialogView& v) {
    portHidden = !GetControlByCommand(v.window, FOUR_CHAR('p', 'o', 'r', 't'))->visible;
    return DialogAction{DialogAction::Key, -1, 13, 0, nullptr, 0};
  });
  EXPECT_EQ(OnlinePrefsDialog(nullptr), kHICommandOK);
  EXPECT_TRUE(portHidden);
  presenter.Key(keychar::kEscape);
  EXPECT_EQ(OnlinePrefsDialog(nullptr), kHICommandCancel);
}

}  // namespace
