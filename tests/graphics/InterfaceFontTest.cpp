// The dialogs' and the menu bar's font comes from the font catalogue, so it
// is there on a system without DejaVu's files; with no font at all the
// program says why the text is missing. Each case runs in a process of its
// own, whose font configuration shows only the fonts the case leaves.
#include <ft2build.h>
#include <gtest/gtest.h>
#include FT_FREETYPE_H

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "foundation/StringLibrary.h"
#include "graphics/ImageBuffer.h"
#include "graphics/InterfaceFont.h"
#include "graphics/RenderedDialogs.h"
#include "platform/DialogModel.h"
#include "shell/StandardDialog.h"
#include "support/TempFolder.h"

namespace {

// A font configuration that knows only the fonts of one folder.
std::string OnlyFontsOf(const TempFolder& folder, const std::string& fonts) {
  return folder.Write("fonts.conf",
                      "<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n"
                      "<fontconfig>\n  <dir>" +
                          fonts + "</dir>\n  <cachedir>" + folder / "cache" + "</cachedir>\n</fontconfig>\n");
}

// The dark pixels a line of dialog text leaves.
int DialogTextInk() {
  Rect bounds{0, 0, 60, 300};
  WindowRef window = NewStandardDialog(&bounds, PStr(""), 0);
  Rect r{10, 20, 40, 280};
  NewDialogControl(window, &r, kStaticTextProc, PStr("Halvane"), 0, 0, 0);
  ImageBuffer picture;
  DrawDialog(window, &picture);
  int ink = 0;
  for (int v = 0; v < picture.Height(); ++v)
    for (int h = 0; h < picture.Width(); ++h) ink += picture.pixels[size_t(v) * picture.rowBytes + size_t(h) * 4] < 128;
  DisposeDialogWindow(window);
  return ink;
}

TEST(InterfaceFont, TheCataloguesSansFaceStandsWhereDejaVuIsMissing) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  TempFolder folder;
  const std::string conf = OnlyFontsOf(folder, "/usr/share/fonts/truetype/comfortaa");
  EXPECT_EXIT(
      {
        setenv("FONTCONFIG_FILE", conf.c_str(), 1);
        FT_Face face = InterfaceFont();
        if (!face) std::_Exit(2);
        std::fprintf(stderr, "family %s\n", face->family_name);
        if (std::strstr(face->family_name, "DejaVu")) std::_Exit(3);
        std::_Exit(DialogTextInk() > 20 ? 0 : 4);
      },
      ::testing::ExitedWithCode(0), "family Comfortaa");
}

TEST(InterfaceFont, NoFontAtAllIsSaidOnStandardError) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  TempFolder folder;
  const std::string conf = OnlyFontsOf(folder, folder.MakeFolder("none"));
  EXPECT_EXIT(
      {
        setenv("FONTCONFIG_FILE", conf.c_str(), 1);
        if (InterfaceFont()) std::_Exit(2);
        InterfaceFont();  // said once
        std::_Exit(DialogTextInk() == 0 ? 0 : 3);
      },
      ::testing::ExitedWithCode(0), "^No font could be found for the text of the dialogs and the menu bar[^\n]*\n$");
}

}  // namespace
