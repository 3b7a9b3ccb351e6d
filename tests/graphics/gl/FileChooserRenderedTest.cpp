// The file chooser shown by the rendered presenter: its entries are drawn
// with their names, and real clicks on them go into a folder and pick a file.
#include <GL/gl.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <string>

#include "foundation/FileUtilities.h"
#include "graphics/RenderedDialogs.h"
#include "platform/DialogModel.h"
#include "shell/FileChooser.h"
#include "shell/StandardDialog.h"
#include "support/DisplayCheck.h"
#include "support/RecordingDialogs.h"
#include "support/TempFolder.h"

namespace {

class FileChooserRendered : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!DisplayNamed() || SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
      ReportNoDisplay(std::string("no display: ") + SDL_GetError());
      skip = true;
      return;
    }
    dlogPARAMS.Reset();
    previous = SetDialogPresenter(&presenter);
    presenter.afterDraw = [this](WindowPtr shown, WindowRef model) {
      surface = shown;
      dialog = model;
      SDL_GL_GetDrawableSize(SDL_GetWindowFromID(WindowID()), &width, &height);
      if (!steps.empty() && steps.front()()) {
        steps.pop_front();
      } else if (++idle > 400) {
        Key(SDLK_ESCAPE);  // never wait forever on a dialog
      }
    };
  }
  void TearDown() override {
    if (!skip) SetDialogPresenter(previous);
    SetChooserFolder("");
  }
  Uint32 WindowID() { return SDL_GetWindowID(reinterpret_cast<SDL_Window*>(surface->platform)); }
  void Click(ControlRef c) {
    SDL_Event e{};
    e.type = SDL_MOUSEBUTTONDOWN;
    e.button.windowID = WindowID();
    e.button.button = SDL_BUTTON_LEFT;
    e.button.x = (c->bounds.left + c->bounds.right) / 2;
    e.button.y = (c->bounds.top + c->bounds.bottom) / 2;
    SDL_PushEvent(&e);
    e.type = SDL_MOUSEBUTTONUP;
    SDL_PushEvent(&e);
  }
  void Key(SDL_Keycode key) {
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.windowID = WindowID();
    e.key.keysym.sym = key;
    SDL_PushEvent(&e);
  }
  // The darkest grey level inside a control's box (text is dark on light).
  int Darkest(ControlRef c) {
    int darkest = 255;
    for (int v = c->bounds.top + 2; v < c->bounds.bottom - 2; v++)
      for (int h = c->bounds.left + 2; h < c->bounds.right - 2; h += 2) {
        unsigned char p[4] = {0, 0, 0, 0};
        glReadPixels(h, height - 1 - v, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
        darkest = std::min(darkest, int(p[1]));
      }
    return darkest;
  }
  // A step that waits for the view whose first entry has this title, checks
  // that the entry shows its name, then clicks it.
  std::function<bool()> ClickFirstEntry(const std::string& title, int* ink) {
    return [this, title, ink] {
      ControlRef entry = GetControlByCommand(dialog, kChooserEntry);
      if (!entry || std::string(reinterpret_cast<const char*>(entry->title + 1), entry->title[0]) != title)
        return false;
      *ink = Darkest(entry);
      Click(entry);
      return true;
    };
  }

  bool skip = false;
  RenderedDialogPresenter presenter;
  DialogPresenter* previous = nullptr;
  RecordingDialogs dialogs;
  std::deque<std::function<bool()>> steps;
  WindowPtr surface = nullptr;
  WindowRef dialog = nullptr;
  int width = 0, height = 0, idle = 0;
};

TEST_F(FileChooserRendered, ClicksGoIntoAFolderAndPickAFile) {
  if (skip) return;
  TempFolder folder;
  folder.Write("Alpha/inner.txt", "in");
  folder.Write("beta.txt", "b");
  SetChooserFolder(folder.Path());
  int folderInk = 255, fileInk = 255;
  steps.push_back(ClickFirstEntry("Alpha/", &folderInk));
  steps.push_back(ClickFirstEntry("inner.txt", &fileInk));
  FSRef item;
  ASSERT_EQ(ChooseFileToOpen(nullptr, 0, &item), noErr);
  EXPECT_EQ(item.path, folder / "Alpha/inner.txt");
  EXPECT_TRUE(steps.empty());
  EXPECT_EQ(width, 440);
  EXPECT_LT(folderInk, 100) << "the entry's name is drawn";
  EXPECT_LT(fileInk, 100);
}

}  // namespace
