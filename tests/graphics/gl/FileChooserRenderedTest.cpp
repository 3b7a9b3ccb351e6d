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
#include "support/RenderedDialogDriver.h"
#include "support/TempFolder.h"

namespace {

// Its steps are tried after each drawing until one holds, then the next.
class FileChooserRendered : public RenderedDialogDriver {
 protected:
  void SetUp() override {
    idleLimit = 400;
    RenderedDialogDriver::SetUp();
  }
  void TearDown() override {
    RenderedDialogDriver::TearDown();
    SetChooserFolder("");
  }
  bool NextStep() override {
    if (chooserSteps.empty() || !chooserSteps.front()()) return false;
    chooserSteps.pop_front();
    return true;
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
      PressIn(entry->bounds);
      return true;
    };
  }

  std::deque<std::function<bool()>> chooserSteps;
};

TEST_F(FileChooserRendered, ClicksGoIntoAFolderAndPickAFile) {
  if (skip) return;
  TempFolder folder;
  folder.Write("Alpha/inner.txt", "in");
  folder.Write("beta.txt", "b");
  SetChooserFolder(folder.Path());
  int folderInk = 255, fileInk = 255;
  chooserSteps.push_back(ClickFirstEntry("Alpha/", &folderInk));
  chooserSteps.push_back(ClickFirstEntry("inner.txt", &fileInk));
  FSRef item;
  ASSERT_EQ(ChooseFileToOpen(nullptr, 0, &item), noErr);
  EXPECT_EQ(item.path, folder / "Alpha/inner.txt");
  EXPECT_TRUE(chooserSteps.empty());
  EXPECT_EQ(width, 440);
  EXPECT_LT(folderInk, 100) << "the entry's name is drawn";
  EXPECT_LT(fileInk, 100);
}

}  // namespace
