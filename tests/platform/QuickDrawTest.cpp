#include <gtest/gtest.h>

#include "platform/QuickDraw.h"
#include "support/FakeDisplayServices.h"

namespace {

UInt32 PixelAt(GWorldPtr world, int x, int y) {
  PixMap& p = **GetGWorldPixMap(world);
  Ptr row = p.baseAddr + y * (p.rowBytes & 0x7FFF);
  switch (p.pixelSize) {
    case 32: return reinterpret_cast<UInt32*>(row)[x];
    case 16: return reinterpret_cast<UInt16*>(row)[x];
    case 8: return reinterpret_cast<UInt8*>(row)[x];
    default:
      return (UInt8(row[x * p.pixelSize / 8]) >> (8 - p.pixelSize - x * p.pixelSize % 8)) & ((1 << p.pixelSize) - 1);
  }
}

}  // namespace

TEST(QuickDraw, WorldsOfEveryDepthHaveTheirPixelLayoutAndEraseToTheBackground) {
  FakeDisplayServices fake;
  fake.AddDisplay(1, {0, 0, 1024, 768}, {});
  struct Case {
    SInt16 depth;
    SInt16 width;
    SInt32 rowBytes;
    SInt16 pixelType, cmpCount, cmpSize;
    OSType pixelFormat;
    UInt32 white, red;  // erased pixels
  } cases[] = {
      {32, 33, 132, kDirectPixelType, 3, 8, 32, 0x00FFFFFF, 0x00FF0000},
      {16, 33, 68, kDirectPixelType, 3, 5, 16, 0x7FFF, 0x7C00},
      {8, 33, 36, kIndexedPixelType, 1, 8, 0, 0, 0},  // a grey ramp: white is entry 0
      {1, 33, 8, kIndexedPixelType, 1, 1, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.depth);
    Rect r{0, 0, 4, c.width};
    GWorldPtr world = nullptr;
    ASSERT_EQ(NewGWorld(&world, c.depth, &r, nullptr, nullptr, keepLocal | kNativeEndianPixMap), noErr);
    PixMapHandle pm = GetGWorldPixMap(world);
    EXPECT_EQ(GetPixRowBytes(pm), c.rowBytes);
    EXPECT_TRUE((*pm)->rowBytes & kRowBytesFlag);
    EXPECT_EQ((*pm)->pixelSize, c.depth);
    EXPECT_EQ((*pm)->pixelType, c.pixelType);
    EXPECT_EQ((*pm)->cmpCount, c.cmpCount);
    EXPECT_EQ((*pm)->cmpSize, c.cmpSize);
    EXPECT_EQ((*pm)->pixelFormat, c.pixelFormat);
    EXPECT_EQ((*pm)->hRes, kDefaultResolution);
    EXPECT_EQ(c.depth <= 8, (*pm)->pmTable != nullptr);
    EXPECT_EQ(world->device, GetMainDevice());

    CGrafPtr oldPort;
    GDHandle oldDevice;
    GetGWorld(&oldPort, &oldDevice);
    SetGWorld(world, nullptr);
    EraseRect(&r);
    EXPECT_EQ(PixelAt(world, 0, 0), c.white);
    EXPECT_EQ(PixelAt(world, c.width - 1, 3), c.white);
    if (c.depth > 8) {
      RGBColor red{65535, 0, 0};
      RGBBackColor(&red);
      Rect inner{1, 1, 2, 2};
      EraseRect(&inner);
      EXPECT_EQ(PixelAt(world, 1, 1), c.red);
      EXPECT_EQ(PixelAt(world, 2, 1), c.white);
      Rect outside{-5, -5, 100, 100};  // clipped to the pixmap
      EraseRect(&outside);
      EXPECT_EQ(PixelAt(world, 0, 0), c.red);
    }
    SetGWorld(oldPort, oldDevice);
    DisposeGWorld(world);
  }
}

TEST(QuickDraw, BadWorldsAreRefused) {
  GWorldPtr world = reinterpret_cast<GWorldPtr>(1);
  Rect r{0, 0, 10, 10};
  EXPECT_EQ(NewGWorld(&world, 24, &r, nullptr, nullptr, 0), paramErr);
  EXPECT_EQ(world, nullptr);
  Rect inverted{10, 0, 0, 10};
  EXPECT_EQ(NewGWorld(&world, 32, &inverted, nullptr, nullptr, 0), paramErr);
  Rect tooWide{0, 0, 1, 9000};  // a row of 36000 bytes does not fit the stride field
  EXPECT_EQ(NewGWorld(&world, 32, &tooWide, nullptr, nullptr, 0), paramErr);
  EXPECT_EQ(NewGWorldFromPtr(&world, 32, &r, nullptr, nullptr, 0, nullptr, 40), paramErr);
}

TEST(QuickDraw, WorldOverCallersPixelsLeavesThemToTheCaller) {
  UInt32 pixels[2 * 8] = {};
  Rect r{0, 0, 2, 3};
  GWorldPtr world;
  ASSERT_EQ(NewGWorldFromPtr(&world, 32, &r, nullptr, nullptr, 0, reinterpret_cast<Ptr>(pixels), 32), noErr);
  SetGWorld(world, nullptr);
  EraseRect(&r);
  EXPECT_EQ(pixels[0], 0x00FFFFFFu);
  EXPECT_EQ(pixels[8 + 2], 0x00FFFFFFu);
  EXPECT_EQ(pixels[3], 0u);  // past the rectangle
  DisposeGWorld(world);
  CGrafPtr port;
  GetGWorld(&port, nullptr);
  EXPECT_EQ(port, nullptr);  // the current port does not outlive its world
}

TEST(QuickDraw, ScreenDevicesStandForTheDisplays) {
  FakeDisplayServices fake;
  fake.AddDisplay(7, {0, 0, 1920, 1080}, {});
  fake.displays[0].bitsPerPixel = 24;
  fake.AddDisplay(9, {1920, -100, 800, 600}, {});
  fake.displays[1].bitsPerPixel = 8;
  fake.Rebuild();

  GDHandle main = GetMainDevice();
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(GetDeviceList(), main);
  EXPECT_EQ((*main)->gdDisplayID, 7u);
  EXPECT_EQ((*(*main)->gdPMap)->pixelSize, 32);
  EXPECT_EQ((*main)->gdType, directType);
  EXPECT_TRUE(TestDeviceAttribute(main, screenDevice));
  EXPECT_TRUE(TestDeviceAttribute(main, gdDevType));
  EXPECT_FALSE(TestDeviceAttribute(main, noDriver));

  GDHandle second = GetNextDevice(main);
  ASSERT_NE(second, nullptr);
  Rect expected{-100, 1920, 500, 2720};
  EXPECT_EQ((*second)->gdRect.top, expected.top);
  EXPECT_EQ((*second)->gdRect.left, expected.left);
  EXPECT_EQ((*second)->gdRect.bottom, expected.bottom);
  EXPECT_EQ((*second)->gdRect.right, expected.right);
  EXPECT_EQ((*second)->gdType, clutType);
  EXPECT_EQ(GetNextDevice(second), nullptr);

  SetDeviceAttribute(second, noDriver, 1);
  EXPECT_TRUE(TestDeviceAttribute(second, noDriver));
}

TEST(QuickDraw, TextSettingsBelongToTheCurrentPort) {
  Rect r{0, 0, 1, 1};
  GWorldPtr a, b;
  ASSERT_EQ(NewGWorld(&a, 32, &r, nullptr, nullptr, 0), noErr);
  ASSERT_EQ(NewGWorld(&b, 32, &r, nullptr, nullptr, 0), noErr);
  SetGWorld(a, nullptr);
  TextFace(0x1FF);
  TextFont(3);
  TextMode(srcCopy);
  TextSize(12);
  SetGWorld(b, nullptr);
  TextSize(9);
  EXPECT_EQ(GetPortTextFace(a), 0xFF);  // a style byte
  EXPECT_EQ(GetPortTextFont(a), 3);
  EXPECT_EQ(GetPortTextMode(a), srcCopy);
  EXPECT_EQ(GetPortTextSize(a), 12);
  EXPECT_EQ(GetPortTextSize(b), 9);
  EXPECT_EQ(GetPortTextMode(b), srcOr);
  SetGWorld(nullptr, nullptr);
  DisposeGWorld(a);
  DisposeGWorld(b);
}
