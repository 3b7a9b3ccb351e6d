#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "foundation/Paths.h"
#include "graphics/GameWindow.h"
#include "graphics/PNGFile.h"
#include "graphics/Pictures.h"
#include "graphics/PixMapRegistry.h"
#include "graphics/Ports.h"
#include "platform/QuickDrawColor.h"
#include "shell/ApplInfo.h"
#include "shell/ControlUtilities.h"
#include "support/RecordingDialogs.h"
#include "support/TempFolder.h"

namespace {

// A picture w x h whose pixel (x, y) is 0x00RRGGBB with red x and green y.
PicHandle Gradient(SInt16 w, SInt16 h) {
  std::vector<UInt32> pixels;
  for (SInt32 y = 0; y < h; y++)
    for (SInt32 x = 0; x < w; x++) pixels.push_back(UInt32(x) << 16 | UInt32(y) << 8);
  Rect frame{0, 0, h, w};
  return NewPictureFromPixels(&frame, pixels.data());
}

class Pictures : public ::testing::Test {
 protected:
  void SetUp() override {
    InitPixMaps();
    Rect r{0, 0, 100, 100};
    ASSERT_EQ(CreatePixMap(32, &pm, &r, 0, 0, 1), noErr);
  }
  void TearDown() override {
    DestroyPixMap(&pm);
    DisposePixMaps();
    APPL.gameWindow = 0;
  }
  UInt32 At(SInt32 x, SInt32 y) {
    return reinterpret_cast<UInt32*>(GetPixBaseAddr(pm) + y * GetPixRowBytes(pm))[x] & 0x00FFFFFF;
  }
  PixMapHandle pm = nullptr;
};

TEST_F(Pictures, PlacedStretchedIntoARectangle) {
  PicHandle pic = Gradient(4, 2);
  Rect r{10, 20, 14, 28}, bounds{};
  Rect placed = PlacePicHandle_Rect(pic, pm, &r, nullptr, &bounds);
  EXPECT_EQ(placed.left, 20);
  EXPECT_EQ(bounds.right, 4);
  EXPECT_EQ(bounds.bottom, 2);
  EXPECT_EQ(At(20, 10), 0u);
  EXPECT_EQ(At(27, 13), 0x030100u);  // each picture pixel covers 2 x 2
  EXPECT_EQ(At(22, 12), 0x010100u);
  EXPECT_EQ(At(28, 13), 0xFFFFFFu);  // outside the rectangle: the erased pixmap
  Rect c = PlacePicHandle_Coord(pic, pm, 0, 0, 4, 2, nullptr, nullptr);
  EXPECT_EQ(c.right, 4);
  EXPECT_EQ(At(3, 1), 0x030100u);
  KillPicture(pic);
}

TEST_F(Pictures, PlacedAtAPointOrCentred) {
  PicHandle pic = Gradient(5, 3);
  Rect out{1, 2, 3, 4};
  Rect none = PlacePicHandle_Point(nullptr, pm, 5, 5, 0, nullptr, &out);
  EXPECT_EQ(none.right, 0);
  EXPECT_EQ(out.left, 2);  // untouched
  Rect at = PlacePicHandle_Point(pic, pm, 7, 9, 0, nullptr, &out);
  EXPECT_EQ(at.left, 7);
  EXPECT_EQ(at.bottom, 12);
  EXPECT_EQ(out.right, 12);
  EXPECT_EQ(At(11, 11), 0x040200u);
  // Centred on the window's port rectangle, moved by (x, y).
  WindowRecord window{};
  Rect centred = PlacePicHandle_Point(pic, pm, 3, -2, 1, &window, nullptr);
  Rect port = GetPortRect(&window);
  EXPECT_EQ(centred.left, port.left + (port.right - port.left) / 2 + 3 - 2);
  EXPECT_EQ(centred.top, port.top + (port.bottom - port.top) / 2 - 2 - 1);
  KillPicture(pic);
}

TEST_F(Pictures, StandingOnABaseLine) {
  PicHandle pic = Gradient(40, 20);
  Rect r{0, 0, 100, 100}, bounds{};
  Rect placed = PlacePicHandle_Base(pic, pm, &r, nullptr, &bounds);
  EXPECT_EQ(placed.top, 80);
  EXPECT_EQ(placed.left, 30);
  EXPECT_EQ(placed.bottom, 100);
  EXPECT_EQ(placed.right, 70);
  EXPECT_EQ(r.left, 30);
  EXPECT_EQ(bounds.right, 40);
  KillPicture(pic);
}

TEST_F(Pictures, RecordedFromAPixmapAndDrawnBack) {
  Rect r{2, 3, 4, 6};
  for (SInt32 y = 2; y < 4; y++)
    for (SInt32 x = 3; x < 6; x++)
      reinterpret_cast<UInt32*>(GetPixBaseAddr(pm) + y * GetPixRowBytes(pm))[x] = UInt32(x * 16 + y);
  PicHandle pic = MakePicture(pm, &r);
  ASSERT_NE(pic, nullptr);
  Rect b;
  QDGetPictureBounds(pic, &b);
  EXPECT_EQ(b.top, 2);
  EXPECT_EQ(b.right, 6);
  Rect moved{50, 50, 52, 53};
  PlacePicHandle_Rect(pic, pm, &moved, nullptr, nullptr);
  EXPECT_EQ(At(50, 50), 0x32u);
  EXPECT_EQ(At(52, 51), 0x53u);
  KillPicture(pic);
}

TEST_F(Pictures, LoadedFromPNGFiles) {
  TempFolder folder;
  std::vector<UInt8> rgba{255, 0, 0, 255, 0, 0, 255, 255};
  std::string path = folder / "pict.png";
  ASSERT_EQ(SavePNG(path.c_str(), rgba.data(), 2, 1, 0, nullptr, 0), 1);
  PicHandle pic = nullptr;
  Rect bounds{};
  ASSERT_EQ(LoadPictFile(&pic, "pict", folder.Path().c_str(), &bounds), noErr);  // ".png" found
  EXPECT_EQ(bounds.right, 2);
  EXPECT_EQ((*pic)->pixels[1], 0x0000FFu);
  KillPicture(pic);
  EXPECT_EQ(LoadPictFile(&pic, "absent", folder.Path().c_str(), nullptr), fnfErr);
  EXPECT_EQ(pic, nullptr);
  folder.Write("bad.png", "not a png");
  EXPECT_EQ(LoadPictFile(&pic, "bad.png", folder.Path().c_str(), nullptr), -1);
  EXPECT_EQ(LoadPictFile(&pic, "", nullptr, nullptr), -1);

  Rect out{};
  Rect placed = PlacePictFile_Point(path.c_str(), pm, 1, 1, nullptr, &out);
  EXPECT_EQ(placed.right, 3);
  EXPECT_EQ(out.right, 3);
  EXPECT_EQ(At(1, 1), 0xFF0000u);
  EXPECT_EQ(At(2, 1), 0x0000FFu);
  Rect missing = PlacePictFile_Point((folder / "absent").c_str(), pm, 1, 1, nullptr, &out);
  EXPECT_EQ(missing.right, 0);
  Rect r{10, 10, 12, 14};
  PlacePictFile_Rect(path.c_str(), pm, &r, nullptr, nullptr);
  EXPECT_EQ(At(11, 11), 0xFF0000u);
  EXPECT_EQ(At(13, 11), 0x0000FFu);
}

TEST(Icons, RegisteredFromTheResourcesFolder) {
  TempFolder folder;
  SetBundlePathForTesting(folder.Path().c_str());
  std::filesystem::create_directories(GetResourcesPath());
  std::vector<UInt8> rgba(4, 255);
  ASSERT_EQ(SavePNG((GetResourcesPath() + "/speaker.png").c_str(), rgba.data(), 1, 1, 0, nullptr, 0), 1);
  folder.Write(GetResourcesPath().substr(folder.Path().size() + 1) + "/text.icns", "plain text");
  IconRef icon = nullptr;
  EXPECT_EQ(LoadIconFile(&icon, "speaker.png", 'HLVN', 'icns', nullptr), noErr);
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(icon->creator, UInt32('HLVN'));
  EXPECT_EQ(icon->path, GetResourcesPath() + "/speaker.png");
  ReleaseIconRef(icon);
  EXPECT_EQ(LoadIconFile(&icon, "none.png", 'HLVN', 'icns', nullptr), -1);
  EXPECT_EQ(LoadIconFile(&icon, "text.icns", 'HLVN', 'icns', nullptr), -1);
  EXPECT_EQ(icon, nullptr);
  SetBundlePathForTesting(nullptr);
}

TEST(PictErrors, ReportedByKind) {
  RecordingDialogs dialogs;
  SetResError(noErr);
  ReportPictError('PICT', reinterpret_cast<const unsigned char*>("\4logo"));
  EXPECT_TRUE(dialogs.Reports().empty());
  SetResError(resNotFound);
  EXPECT_THROW(ReportPictError('PICT', reinterpret_cast<const unsigned char*>("\4logo")), FatalReport);
  EXPECT_EQ(dialogs.Reports().back().message, "PICT    \"logo\"");
  EXPECT_EQ(dialogs.Reports().back().detail, "");
  SetResError(-108);
  EXPECT_THROW(ReportPictError('PICT', reinterpret_cast<const unsigned char*>("\4logo")), FatalReport);
  EXPECT_EQ(dialogs.Reports().back().message, "Sorry, a memory error has occured.");
  EXPECT_EQ(dialogs.Reports().back().detail, "PlacePicture_xxxx()");
  SetResError(noErr);
}

}  // namespace
