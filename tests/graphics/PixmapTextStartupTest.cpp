// Text drawn into a pixmap as the program starts: with the engine started on
// the program's own bundle and the pixmaps ready, the port's font is found
// and drawn with no font registered by hand.
#include <gtest/gtest.h>

#include <cstdlib>

#include "foundation/Paths.h"
#include "foundation/StringFunctions.h"
#include "graphics/ClutFading.h"
#include "graphics/PixMapRegistry.h"
#include "graphics/PixmapText.h"
#include "platform/QuickDrawColor.h"
#include "shell/ApplInfo.h"
#include "shell/Startup.h"
#include "support/FakeEventPlatform.h"

namespace {

class PixmapTextAtStartUp : public testing::Test {
 protected:
  void SetUp() override {
    const char* bundle = std::getenv("HALVANE_BUNDLE");
    ASSERT_NE(bundle, nullptr);
    SetBundlePathForTesting(bundle);
    didStartup = false;
    APPL = ApplInfo();
    APPL.buildDepth = 16;
    Startup();
    InitPixMaps();
    GetGWorld(&oldPort, &oldDevice);
    const Rect bounds{0, 0, 40, 160};
    ASSERT_EQ(NewGWorld(&world, 8, &bounds, nullptr, nullptr, 0), noErr);
    SetGWorld(world, nullptr);
    EraseRect(&bounds);
    oldCLUT = mainCLUT;
    mainCLUT = GetCTable(8);
  }
  void TearDown() override {
    if (world) {
      SetGWorld(oldPort, oldDevice);
      DisposeGWorld(world);
    }
    if (mainCLUT) DisposeCTable(mainCLUT);
    mainCLUT = oldCLUT;
    ForgetPixmapFonts();
    Shutdown(1);
    didStartup = false;
    SetBundlePathForTesting(nullptr);
  }
  // The pixels that are not the background's index 0 (white).
  int Ink() const {
    const PixMap& p = **world->portPixMap;
    int ink = 0;
    for (int v = 0; v < 40; ++v)
      for (int h = 0; h < 160; ++h) ink += UInt8(p.baseAddr[v * (p.rowBytes & 0x7FFF) + h]) != 0;
    return ink;
  }

  FakeEventPlatform platform;
  GWorldPtr world = nullptr;
  CGrafPtr oldPort = nullptr;
  GDHandle oldDevice = nullptr;
  CTabHandle oldCLUT = nullptr;
};

// Each font a program can name draws ink and measures its text: the three
// system fonts, an installed family and the bundle's own fonts, by family
// and by file name.
TEST_F(PixmapTextAtStartUp, EveryNamedFontDrawsAndMeasures) {
  const char* names[] = {"Chicago", "Geneva", "Monaco", "DejaVu Sans", "Comfortaa", "VAG Rounded BT"};
  for (const char* family : names) {
    SCOPED_TRACE(family);
    EraseRect(&world->portRect);
    Str255 name;
    CToPStr(family, name);
    const SInt16 font = GetFontNum(name);
    ASSERT_GE(font, 0);
    TextFont(font);
    TextSize(14);
    const Rect box = DrawString2(reinterpret_cast<const unsigned char*>("\7Halvane"), 4, 4, 0, -1, 255, 0, -1);
    EXPECT_GT(box.right - box.left, 30);
    EXPECT_GT(FontHeight(), 10);
    EXPECT_GT(Ink(), 40);
  }
}

// The port's own font before anything chose one (font 0) draws too.
TEST_F(PixmapTextAtStartUp, TheDefaultFontDraws) {
  DrawString2(reinterpret_cast<const unsigned char*>("\7Halvane"), 4, 4, 0, -1, 255, 0, -1);
  EXPECT_GT(Ink(), 40);
  EXPECT_GT(StringWidth(reinterpret_cast<const unsigned char*>("\7Halvane")), 30);
}

}  // namespace
