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

namespace {

class AudioSettingsWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!DisplayNamed() || SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
      ReportNoDisplay(std::string("no display: ") + SDL_GetError());
      skip = true;
      return;
    }
    std::string here = __FILE__;
    if (!QKEngineNIB)
      LoadQKEngineNibFile((here.substr(0, here.rfind("/tests/")) + "/resources/QK Engine.plist").c_str());
    const char* bundle = getenv("HALVANE_BUNDLE");
    SetBundlePathForTesting(bundle ? bundle : "");
    soundInited = 0;
    firstChan = nullptr;
    InitAudio();
    previous = SetDialogPresenter(&presenter);
    presenter.afterDraw = [this](WindowPtr s, WindowRef d) {
      surface = s;
      dialog = d;
      SDL_GL_GetDrawableSize(reinterpret_cast<SDL_Window*>(s->platform), &width, &height);
      if (!steps.empty()) {
        auto step = steps.front();
        steps.pop_front();
        step();
      } else if (++idle > 200) {
        Key(SDLK_ESCAPE);  // never wait forever on a dialog
      }
    };
  }
  void TearDown() override {
    if (skip) return;
    SetDialogPresenter(previous);
    DisposeSoundMixer_Sound();
    SetBundlePathForTesting(nullptr);
  }
  Uint32 WindowID() { return SDL_GetWindowID(reinterpret_cast<SDL_Window*>(surface->platform)); }
  void Click(const Rect& r) {
    SDL_Event e{};
    e.type = SDL_MOUSEBUTTONDOWN;
    e.button.windowID = WindowID();
    e.button.button = SDL_BUTTON_LEFT;
    e.button.x = (r.left + r.right) / 2;
    e.button.y = (r.top + r.bottom) / 2;
    SDL_PushEvent(&e);
  }
  void Key(SDL_Keycode key) {
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.windowID = WindowID();
    e.key.keysym.sym = key;
    SDL_PushEvent(&e);
  }
  Pixel Average(const Rect& r) {
    int w = r.right - r.left, h = r.bottom - r.top;
    std::vector<unsigned char> p(size_t(w * h * 4));
    glReadPixels(r.left, height - r.bottom, w, h, GL_RGBA, GL_UNSIGNED_BYTE, p.data());
    long sum[3] = {0, 0, 0};
    for (int i = 0; i < w * h; ++i)
      for (int c = 0; c < 3; ++c) sum[c] += p[size_t(i * 4 + c)];
    return Pixel{int(sum[0] / (w * h)), int(sum[1] / (w * h)), int(sum[2] / (w * h))};
  }

  bool skip = false;
  FakeEventPlatform platform;
  RecordingDialogs reports;
  RenderedDialogPresenter presenter;
  DialogPresenter* previous = nullptr;
  std::deque<std::function<void()>> steps;
  WindowPtr surface = nullptr;
  WindowRef dialog = nullptr;
  int width = 0, height = 0, idle = 0;
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
    Click(popup->bounds);
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
    Click(PopupItemRect(popup, SInt16(height), 3));  // "6"
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
