// The rendered presenter's picture of a dialog, drawn without a display:
// the model's 8-bit text shown as its own characters, pictures and icon files.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include "foundation/Paths.h"
#include "foundation/StringLibrary.h"
#include "graphics/ImageBuffer.h"
#include "graphics/InterfaceFont.h"
#include "graphics/PNGFile.h"
#include "graphics/RenderedDialogs.h"
#include "graphics/TextRender.h"
#include "platform/DialogModel.h"
#include "shell/ApplInfo.h"
#include "shell/ControlUtilities.h"
#include "shell/StandardDialog.h"
#include "support/TempFolder.h"

namespace {

struct Rgb {
  int r, g, b;
};

Rgb At(const ImageBuffer& b, int h, int v) {
  const UInt8* p = b.pixels + size_t(v) * b.rowBytes + size_t(h) * 4;
  return Rgb{p[0], p[1], p[2]};
}

// The width from the first to the last column with dark ink in the rows.
int InkWidth(const ImageBuffer& b, int top, int bottom) {
  int first = -1, last = -1;
  for (int h = 0; h < b.Width(); ++h)
    for (int v = top; v < bottom; ++v)
      if (At(b, h, v).r < 128) {
        if (first < 0) first = h;
        last = h;
        break;
      }
  return first < 0 ? 0 : last - first + 1;
}

class RenderedDialogDraw : public ::testing::Test {
 protected:
  RenderedDialogDraw() {
    Rect bounds{0, 0, 120, 360};
    window = NewStandardDialog(&bounds, PStr(""), 0);
  }
  ~RenderedDialogDraw() override { DisposeDialogWindow(window); }
  WindowRef window;
  ImageBuffer picture;
};

// Each text is drawn as the characters the engine's 8-bit text stands for:
// as wide as the font's own rendering of it, not as its UTF-8 bytes.
TEST_F(RenderedDialogDraw, TextIsShownAsItsOwnCharacters) {
  FT_Face face = InterfaceFont();  // the font the dialogs draw in
  ASSERT_NE(face, nullptr);
  const char* texts[] = {"Hello", "Caf\x8E", "\xD0 en dash \xD0", "\xA7 section", "\xC7quotes\xC8"};
  for (const char* text : texts) {
    SCOPED_TRACE(text);
    Rect r{10, 20, 30, 340};
    ControlRef label = NewDialogControl(window, &r, kStaticTextProc, PStr(text), 0, 0, 0);
    DrawDialog(window, &picture);
    EXPECT_NEAR(InkWidth(picture, 10, 30), DrawTextWidth(text, face, 12), 3);
    HideControl(label);
  }
}

TEST_F(RenderedDialogDraw, APictureIsDrawnIntoItsControlAndGoneWithIt) {
  UInt32 pixels[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
  Rect frame{0, 0, 2, 2};
  PicHandle pict = NewPictureFromPixels(&frame, pixels);
  ASSERT_NE(pict, nullptr);
  Rect r{40, 100, 60, 120};
  ControlRef control = NewDialogControl(window, &r, kPictureProc, PStr(""), 0, 0, 0);
  SetControlPict(control, pict);
  DrawDialog(window, &picture);
  struct Case {
    int h, v;
    Rgb want;
  } cases[] = {{104, 44, {255, 0, 0}}, {115, 44, {0, 255, 0}}, {104, 55, {0, 0, 255}}, {115, 55, {255, 255, 255}}};
  for (const Case& c : cases) {
    Rgb got = At(picture, c.h, c.v);
    EXPECT_EQ(got.r, c.want.r);
    EXPECT_EQ(got.g, c.want.g);
    EXPECT_EQ(got.b, c.want.b);
  }
  SetControlPict(control, nullptr);
  DrawDialog(window, &picture);
  EXPECT_EQ(At(picture, 104, 44).r, At(picture, 4, 4).r);  // the background again
  KillPicture(pict);
}

// A bevel button shows its icon file above its title, faded while disabled.
TEST_F(RenderedDialogDraw, ABevelButtonShowsItsIconFile) {
  TempFolder folder;
  std::vector<UInt8> red(16 * 16 * 4);
  for (size_t i = 0; i < red.size(); i += 4) red[i] = red[i + 3] = 255;
  std::string path = folder / "red.png";
  ASSERT_EQ(SavePNG(path.c_str(), red.data(), 16, 16, 0, nullptr, 0), 1);
  IconRef icon = nullptr;
  ASSERT_EQ(RegisterIconRefFromIconFile(0, 0, path.c_str(), &icon), noErr);
  Rect r{20, 20, 76, 76};
  ControlRef bevel = NewDialogControl(window, &r, kBevelButtonProc, PStr("Audio"), 0, 0, 1);
  SetControlIconRef(bevel, icon);
  ReleaseIconRef(icon);
  DrawDialog(window, &picture);
  Rgb shown = At(picture, 48, 40);  // the icon: 32 by 32 from 4 below the top, centred
  EXPECT_EQ(shown.r, 255);
  EXPECT_EQ(shown.g, 0);
  EXPECT_GT(InkWidth(picture, 60, 75), 0);  // the title below the icon
  DisableControl(bevel);
  DrawDialog(window, &picture);
  Rgb faded = At(picture, 48, 40);  // 45 % of the icon over the button's grey
  EXPECT_NEAR(faded.r, 255 * 0.45 + 247 * 0.55, 1);
  EXPECT_NEAR(faded.g, 247 * 0.55, 1);
}

// Where a control's text left ink on the dialog's grey (235) within the
// rectangle, and the colour of its strongest pixel.
struct Ink {
  int left = -1, right = -1, top = -1, bottom = -1;
  Rgb strongest{235, 235, 235};
  int Width() const { return left < 0 ? 0 : right - left + 1; }
  int Height() const { return top < 0 ? 0 : bottom - top + 1; }
};

Ink InkIn(const ImageBuffer& b, const Rect& r) {
  Ink ink;
  int most = 0;
  for (int v = r.top; v < r.bottom; ++v)
    for (int h = r.left; h < r.right; ++h) {
      Rgb p = At(b, h, v);
      int away = std::abs(p.r - 235) + std::abs(p.g - 235) + std::abs(p.b - 235);
      if (away < 60) continue;
      if (ink.left < 0 || h < ink.left) ink.left = h;
      if (h > ink.right) ink.right = h;
      if (ink.top < 0) ink.top = v;
      ink.bottom = v;
      if (away > most) most = away, ink.strongest = p;
    }
  return ink;
}

// A control's font style shows: bold is wider, a colour is that colour, a
// larger size is taller, a font number draws in that font, and the
// justification places the lines.
TEST_F(RenderedDialogDraw, AControlsFontStyleIsDrawn) {
  Rect area{10, 20, 70, 340};
  struct Case {
    const char* what;
    std::function<void(ControlRef)> style;
    std::function<void(const Ink& plain, const Ink& styled)> check;
  } cases[] = {
      {"bold", [](ControlRef c) { SetControlFontFace(c, 1); },
       [](const Ink& plain, const Ink& styled) {
         EXPECT_GT(styled.Width(), plain.Width() + 3);
         EXPECT_NEAR(styled.Height(), plain.Height(), 2);
       }},
      {"red",
       [](ControlRef c) {
         SetControlFontColor(c, RGBColor{65535, 0, 0});
       },
       [](const Ink& plain, const Ink& styled) {
         EXPECT_LT(plain.strongest.r, 80);  // black before
         EXPECT_GT(styled.strongest.r, 180);
         EXPECT_LT(styled.strongest.g, 80);
         EXPECT_LT(styled.strongest.b, 80);
         EXPECT_EQ(styled.Width(), plain.Width());
       }},
      {"larger", [](ControlRef c) { SetControlFontSize(c, 24); },
       [](const Ink& plain, const Ink& styled) {
         EXPECT_GT(styled.Height(), plain.Height() * 3 / 2);
         EXPECT_GT(styled.Width(), plain.Width() * 3 / 2);
       }},
      {"underlined", [](ControlRef c) { SetControlFontFace(c, 4); },
       [](const Ink& plain, const Ink& styled) { EXPECT_GT(styled.bottom, plain.bottom); }},
      {"the monospaced font by its number",
       [](ControlRef c) {
         ctrlPARAMS.font = 4;
         SetControlFont(c);
       },
       [](const Ink& plain, const Ink& styled) { EXPECT_GT(styled.Width(), plain.Width() + 10); }},
      {"centred", [](ControlRef c) { SetControlFontJustification(c, 1); },
       [&](const Ink& plain, const Ink& styled) {
         EXPECT_NEAR(styled.left - area.left, area.right - 1 - styled.right, 3);
         EXPECT_EQ(styled.Width(), plain.Width());
       }},
      {"flush right", [](ControlRef c) { SetControlFontJustification(c, -1); },
       [&](const Ink&, const Ink& styled) { EXPECT_NEAR(styled.right, area.right - 1, 2); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Rect r = area;
    ControlRef label = NewDialogControl(window, &r, kStaticTextProc, PStr("iiill Halvane"), 0, 0, 0);
    DrawDialog(window, &picture);
    const Ink plain = InkIn(picture, area);
    ASSERT_GT(plain.Width(), 0);
    c.style(label);
    DrawDialog(window, &picture);
    c.check(plain, InkIn(picture, area));
    HideControl(label);
  }
  // A button's title takes the style too.
  Rect r{80, 20, 110, 200};
  ControlRef button = NewDialogControl(window, &r, kPushButtonProc, PStr("Play"), 0, 0, 1);
  Rect inside{84, 24, 106, 196};
  DrawDialog(window, &picture);
  const Ink plain = InkIn(picture, inside);
  SetControlFontFace(button, 1);
  DrawDialog(window, &picture);
  EXPECT_GT(InkIn(picture, inside).Width(), plain.Width() + 1);
}

// An icon-reference control set by its type shows the icon file registered
// for the application's creator and that type, not the note icon.
TEST_F(RenderedDialogDraw, AnIconReferenceShowsTheApplicationsIconOfItsType) {
  TempFolder folder;
  std::vector<UInt8> green(32 * 32 * 4);
  for (size_t i = 0; i < green.size(); i += 4) green[i + 1] = green[i + 3] = 255;
  std::string path = folder / "green.png";
  ASSERT_EQ(SavePNG(path.c_str(), green.data(), 32, 32, 0, nullptr, 0), 1);
  APPL.creator = FOUR_CHAR('H', 'l', 'v', 'n');
  const UInt32 type = FOUR_CHAR('g', 'r', 'n', ' ');
  IconRef icon = nullptr;
  ASSERT_EQ(RegisterIconRefFromIconFile(APPL.creator, type, path.c_str(), &icon), noErr);
  ReleaseIconRef(icon);
  Rect r = IconPosition();
  ControlRef control = NewDialogControl(window, &r, kIconRefProc, PStr(""), 0, 0, 0);
  SetControlIconCode(control, type);
  DrawDialog(window, &picture);
  for (Point at : {Point{12, 22}, Point{26, 36}, Point{40, 50}}) {
    Rgb shown = At(picture, at.h, at.v);
    EXPECT_EQ(shown.r, 0) << at.h << "," << at.v;
    EXPECT_EQ(shown.g, 255) << at.h << "," << at.v;
    EXPECT_EQ(shown.b, 0) << at.h << "," << at.v;
  }
  APPL = ApplInfo();
}

// The alert kinds come from the desktop's icon themes, the default theme
// first; a kind no theme has comes from the bundle.
TEST(AlertIcons, TheThemesIconElseTheBundlesOwn) {
  TempFolder user, system, bundle;
  for (const char* file : {"Zeta/48x48/status/dialog-warning.png", "Adwaita/48x48/status/dialog-warning.png",
                           "Zeta/32x32/legacy/dialog-information.png"}) {
    std::filesystem::path path = std::filesystem::path(system.Path()) / "icons" / file;
    std::filesystem::create_directories(path.parent_path());
    system.Write(std::filesystem::relative(path, system.Path()).string(), "png");
  }
  struct Saved {
    const char* name;
    std::string value;
    bool set;
  } saved[] = {{"XDG_DATA_HOME", "", false}, {"XDG_DATA_DIRS", "", false}};
  for (Saved& s : saved)
    if (const char* v = getenv(s.name)) s.value = v, s.set = true;
  setenv("XDG_DATA_HOME", user.Path().c_str(), 1);
  setenv("XDG_DATA_DIRS", (std::string("/nonexistent:") + system.Path()).c_str(), 1);
  SetBundlePathForTesting(bundle.Path().c_str());
  std::string resources = GetResourcesPath();
  EXPECT_EQ(AlertIconFile(2), system.Path() + "/icons/Adwaita/48x48/status/dialog-warning.png");
  EXPECT_EQ(AlertIconFile(1), system.Path() + "/icons/Zeta/32x32/legacy/dialog-information.png");
  EXPECT_EQ(AlertIconFile(0), resources + "/QK Resources/Stop.png");
  EXPECT_EQ(AlertIconFile(9), AlertIconFile(1));  // an unknown kind is a note
  setenv("XDG_DATA_DIRS", user.Path().c_str(), 1);
  EXPECT_EQ(AlertIconFile(2), resources + "/QK Resources/Caution.png");
  SetBundlePathForTesting(nullptr);
  for (const Saved& s : saved)
    if (s.set)
      setenv(s.name, s.value.c_str(), 1);
    else
      unsetenv(s.name);
}

}  // namespace
