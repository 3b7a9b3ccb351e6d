#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "foundation/HashTable.h"
#include "graphics/PixMapRegistry.h"
#include "shell/ApplInfo.h"
#include "support/RecordingDialogs.h"

namespace {

std::string Text(const unsigned char* p) { return std::string(reinterpret_cast<const char*>(p + 1), p[0]); }

const unsigned char* P(const char* text) {
  static unsigned char buffer[256];
  buffer[0] = static_cast<unsigned char>(std::char_traits<char>::length(text));
  std::char_traits<char>::copy(reinterpret_cast<char*>(buffer + 1), text, buffer[0]);
  return buffer;
}

class PixMapRegistry : public ::testing::Test {
 protected:
  void SetUp() override { InitPixMaps(); }
  void TearDown() override {
    for (int slot = kQKELCreatePixMap; slot <= kQKELCreateBufferedGWorld; slot++) QKEL[slot] = nullptr;
    DisposePixMaps();
    SetGWorld(nullptr, nullptr);
  }
  const DialogReport& LastReport() { return dialogs.Reports().back(); }
  RecordingDialogs dialogs;
};

}  // namespace

TEST_F(PixMapRegistry, InitPixMapsFillsTheHookSlotsOnce) {
  EXPECT_EQ(QKEL[kQKELCreatePixMap], reinterpret_cast<QKELProc>(CreatePixMap_Graphics));
  EXPECT_EQ(QKEL[kQKELCreateBufferedGWorld], reinterpret_cast<QKELProc>(CreateBufferedGWorld_Graphics));
  QKEL[kQKELSetPort] = nullptr;
  InitPixMaps();
  EXPECT_EQ(QKEL[kQKELSetPort], nullptr);  // already installed: untouched
  DisposePixMaps();
  InitPixMaps();
  EXPECT_EQ(QKEL[kQKELSetPort], reinterpret_cast<QKELProc>(SetPort_PixMap));
}

TEST_F(PixMapRegistry, RegisteredPixMapsHaveTheirWorldAndErasedPixels) {
  struct Case {
    char depth;
    SInt16 width;
    unsigned char aligned;
    SInt32 rowBytes;
  } cases[] = {{32, 33, 1, 256}, {32, 33, 0, 132}, {16, 33, 1, 128}, {16, 5, 0, 12}, {8, 40, 1, 64}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << int(c.depth) << " bits, " << c.width << " wide, aligned " << int(c.aligned));
    Rect r{0, 0, 3, c.width};
    PixMapHandle pm = nullptr;
    ASSERT_EQ(CreatePixMap(c.depth, &pm, &r, 0, c.aligned, 1), noErr);
    ASSERT_NE(pm, nullptr);
    EXPECT_EQ(GetPixRowBytes(pm), c.rowBytes);
    EXPECT_EQ((*pm)->pixelSize, c.depth);
    if (c.aligned) {
      EXPECT_EQ(reinterpret_cast<std::uintptr_t>(GetPixBaseAddr(pm)) % 32, 0u);
    }
    GWorldPtr world = GetPixMapGWorld(pm);
    ASSERT_NE(world, nullptr);
    EXPECT_EQ(GetGWorldPixMap(world), pm);
    EXPECT_EQ(world->flags, 264u);
    Ptr lastRow = GetPixBaseAddr(pm) + 2 * c.rowBytes;
    if (c.depth == 32) {
      EXPECT_EQ(reinterpret_cast<UInt32*>(lastRow)[c.width - 1], 0x00FFFFFFu);
    }
    if (c.depth == 16) {
      EXPECT_EQ(reinterpret_cast<UInt16*>(lastRow)[c.width - 1], 0x7FFF);
    }

    unsigned char name[256];
    GetPixMapName(pm, name);
    EXPECT_EQ(Text(name), "(unnamed pixmap)");
    GetPixMapPictName(pm, name);
    EXPECT_EQ(Text(name), "");
    EXPECT_EQ(GetPixMapInUse(pm), 0);
    EXPECT_EQ(GetPixMapAlpha(pm), nullptr);

    SetPort_(pm, nullptr);
    CGrafPtr port;
    GetGWorld(&port, nullptr);
    EXPECT_EQ(port, world);

    DestroyPixMap(&pm);
    EXPECT_EQ(pm, nullptr);
  }
  EXPECT_TRUE(dialogs.Reports().empty());
}

TEST_F(PixMapRegistry, NamesAndFlagsRoundTrip) {
  Rect r{0, 0, 4, 4};
  PixMapHandle pm = nullptr;
  ASSERT_EQ(CreatePixMap(32, &pm, &r, 1, 0, 0), noErr);
  unsigned char name[256];
  SetPixMapName(pm, P("build pixmap"));
  GetPixMapName(pm, name);
  EXPECT_EQ(Text(name), "build pixmap");
  SetPixMapPictName(pm, P("Title"));
  GetPixMapPictName(pm, name);
  EXPECT_EQ(Text(name), "Title");
  SetPixMapInUse(pm, 1);
  EXPECT_EQ(GetPixMapInUse(pm), 1);
  SetClutUpdate(pm, 1);
  EXPECT_EQ(GetClutUpdate(pm), 1);
  DestroyPixMap(&pm);
}

TEST_F(PixMapRegistry, PixMapsMissingFromTheListAreFatal) {
  Rect r{0, 0, 2, 2};
  PixMapHandle pm = nullptr;
  ASSERT_EQ(CreatePixMap(32, &pm, &r, 1, 0, 0), noErr);
  PixMapHandle gone = pm;
  DestroyPixMap(&pm);
  PixMapHandle none = nullptr;
  DestroyPixMap(&none);  // a nil handle does nothing
  EXPECT_TRUE(dialogs.Reports().empty());

  unsigned char name[256];
  struct Case {
    const char* what;
    void (*call)(PixMapHandle, unsigned char*);
    const char* message;
    const char* detail;
  } cases[] = {
      {"destroy", [](PixMapHandle p, unsigned char*) { DestroyPixMap(&p); }, "Pixmap was not located in the list!",
       "DestroyPixMap()"},
      {"alpha", [](PixMapHandle p, unsigned char*) { GetPixMapAlpha(p); }, "Pixmap was not located in the list!",
       "GetPixMapAlpha()"},
      {"set name", [](PixMapHandle p, unsigned char* n) { SetPixMapName(p, n); }, "Pixmap was not located in the list!",
       "SetPixMapName()"},
      {"set pict name", [](PixMapHandle p, unsigned char* n) { SetPixMapPictName(p, n); },
       "Pixmap was not located in the list!", "SetPixMapPictName()"},
      {"set in use", [](PixMapHandle p, unsigned char*) { SetPixMapInUse(p, 1); },
       "Pixmap was not located in the list!", "SetPixMapInUse()"},
      {"set clut update", [](PixMapHandle p, unsigned char*) { SetClutUpdate(p, 1); },
       "Pixmap was not located in the list!", "SetClutUpdate()"},
      {"get clut update", [](PixMapHandle p, unsigned char*) { GetClutUpdate(p); },
       "Pixmap was not located in the list!", "GetClutUpdate()"},
      {"get name", [](PixMapHandle p, unsigned char* n) { GetPixMapName(p, n); }, "That pixmap was not in the list.",
       "GetPixMapName()"},
      {"get pict name", [](PixMapHandle p, unsigned char* n) { GetPixMapPictName(p, n); },
       "That pixmap was not in the list.", "GetPixMapPictName()"},
      {"get in use", [](PixMapHandle p, unsigned char*) { GetPixMapInUse(p); }, "That pixmap was not in the list.",
       "GetInUse()"},
      {"world", [](PixMapHandle p, unsigned char*) { GetPixMapGWorld(p); }, "GetPixMapGWorld() failed.", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    name[0] = 0;
    EXPECT_THROW(c.call(gone, name), FatalReport);
    EXPECT_EQ(LastReport().message, c.message);
    EXPECT_EQ(LastReport().detail, c.detail);
    EXPECT_TRUE(LastReport().fatal);
  }
}

TEST_F(PixMapRegistry, AlphaMasksComeAndGoWithTheirPixMap) {
  Rect r{0, 0, 8, 8};
  PixMapHandle pm = nullptr;
  ASSERT_EQ(CreatePixMap2(16, &pm, &r, 1, 1, 1), noErr);
  PixMapHandle alpha = GetPixMapAlpha(pm);
  ASSERT_NE(alpha, nullptr);
  EXPECT_EQ((*alpha)->pixelSize, 8);
  EXPECT_NE(GetPixMapGWorld(alpha), nullptr);
  DestroyPixMap(&pm);
  EXPECT_THROW(GetPixMapInUse(alpha), FatalReport);  // destroyed with its pixmap
}

TEST_F(PixMapRegistry, FailedCreationIsQuietOrFatalByRequest) {
  Rect r{0, 0, 4, 4};
  PixMapHandle pm = reinterpret_cast<PixMapHandle>(1);
  EXPECT_EQ(CreatePixMap(24, &pm, &r, 0, 0, 0), paramErr);  // no such depth
  EXPECT_EQ(pm, nullptr);
  Rect wide{0, 0, 2, 9000};
  pm = reinterpret_cast<PixMapHandle>(1);
  EXPECT_EQ(CreatePixMap(32, &pm, &wide, 0, 1, 0), paramErr);  // aligned rows too long for the stride
  EXPECT_EQ(pm, nullptr);
  EXPECT_TRUE(dialogs.Reports().empty());

  EXPECT_THROW(CreatePixMap(24, &pm, &r, 1, 0, 0), FatalReport);
  EXPECT_EQ(LastReport().message, "CreatePixMap() failed.");
  EXPECT_EQ(LastReport().detail, "-50");
}

TEST_F(PixMapRegistry, WithoutTheRegistryBarePixMapsAreMade) {
  DisposePixMaps();
  for (int slot = kQKELCreatePixMap; slot <= kQKELCreateBufferedGWorld; slot++) QKEL[slot] = nullptr;
  struct Case {
    char depth;
    SInt16 pixelSize, cmpSize;
  } cases[] = {{8, 16, 5}, {16, 16, 5}, {24, 32, 8}, {32, 32, 8}};
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.depth));
    Rect r{0, 0, 3, 10};
    PixMapHandle pm = nullptr;
    ASSERT_EQ(CreatePixMap(c.depth, &pm, &r, 1, 1, 1), noErr);
    EXPECT_EQ((*pm)->pixelSize, c.pixelSize);
    EXPECT_EQ(SInt32((*pm)->pixelFormat), c.pixelSize);
    EXPECT_EQ((*pm)->cmpSize, c.cmpSize);
    EXPECT_EQ((*pm)->cmpCount, 1);
    EXPECT_EQ((*pm)->pmTable, nullptr);
    EXPECT_EQ(GetPixRowBytes(pm), c.pixelSize * 10 / 8);
    EXPECT_TRUE((*pm)->rowBytes & kRowBytesFlag);
    if (c.pixelSize == 32) {
      EXPECT_EQ(reinterpret_cast<UInt32*>(GetPixBaseAddr(pm))[9], 0x00FFFFFFu);
    }
    EXPECT_EQ(GetPixMapGWorld(pm), nullptr);
    DestroyPixMap(&pm);
    EXPECT_EQ(pm, nullptr);
  }
  Rect tooWide{0, 0, 1, 8192};  // 32,768 bytes a row
  PixMapHandle pm = nullptr;
  EXPECT_EQ(CreatePixMap(32, &pm, &tooWide, 1, 0, 0), paramErr);
  EXPECT_EQ(pm, nullptr);
}

TEST_F(PixMapRegistry, BufferedWorldsKeepTheirOwnPixels) {
  GWorldPtr world = CreateBufferedGWorld(nullptr, 32, 64, 48);
  ASSERT_NE(world, nullptr);
  PixMapHandle pm = GetGWorldPixMap(world);
  EXPECT_EQ(GetPixRowBytes(pm), 256);
  EXPECT_EQ(reinterpret_cast<UInt32*>(GetPixBaseAddr(pm))[0], 0x00FFFFFFu);
  EXPECT_EQ(GetWindowBufferBaseAddr(nullptr), nullptr);
  EXPECT_EQ(RealignBufferedGWorld(&world, nullptr), 0);
  EXPECT_EQ(SaveBufferedGWorld(world, nullptr), 0);
  EXPECT_EQ(RestoreBufferedGWorld(world, nullptr), 0);
  DestroyBufferedGWorld(&world);
  EXPECT_EQ(world, nullptr);
  EXPECT_THROW(GetPixMapInUse(pm), FatalReport);
}

TEST_F(PixMapRegistry, LockingWalksEveryRecordAndCallsTheApplicationsHooks) {
  static int locks, unlocks;
  locks = unlocks = 0;
  APPL.lockLocalPixMaps = [] { return SInt32(++locks); };
  APPL.unlockLocalPixMaps = [] { return SInt32(++unlocks); };
  Rect r{0, 0, 2, 2};
  PixMapHandle a = nullptr, b = nullptr;
  ASSERT_EQ(CreatePixMap(32, &a, &r, 1, 0, 0), noErr);
  ASSERT_EQ(CreatePixMap(32, &b, &r, 1, 1, 0), noErr);
  LockPixMaps();
  UnlockPixMaps();
  EXPECT_EQ(locks, 1);
  EXPECT_EQ(unlocks, 1);
  APPL.lockLocalPixMaps = nullptr;
  APPL.unlockLocalPixMaps = nullptr;
  DestroyPixMap(&a);
  DestroyPixMap(&b);
  EXPECT_EQ(pixmapLIST.First(), nullptr);
}
