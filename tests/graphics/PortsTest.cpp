#include <gtest/gtest.h>

#include "graphics/Ports.h"
#include "support/RecordingDialogs.h"

namespace {

struct World {
  GWorldPtr port = nullptr;
  explicit World(SInt16 depth = 32) {
    Rect r{0, 0, 2, 2};
    EXPECT_EQ(NewGWorld(&port, depth, &r, nullptr, nullptr, 0), noErr);
  }
  ~World() { DisposeGWorld(port); }
};

class Ports : public ::testing::Test {
 protected:
  void TearDown() override {
    while (PortStackSize() > 0) PopPort();
    SetGWorld(nullptr, nullptr);
  }
  RecordingDialogs dialogs;
};

}  // namespace

TEST_F(Ports, PortStackHolds128AndReportsFullAndEmpty) {
  for (int i = 0; i < 128; i++) ASSERT_EQ(PushPort(), noErr);
  EXPECT_EQ(PortStackSize(), 128);
  EXPECT_THROW(PushPort(), FatalReport);
  ASSERT_EQ(dialogs.Reports().size(), 1u);
  EXPECT_EQ(dialogs.Reports()[0].message, "GWorld stack is full!");
  EXPECT_EQ(dialogs.Reports()[0].detail, "");
  EXPECT_TRUE(dialogs.Reports()[0].fatal);
  EXPECT_EQ(PortStackSize(), 128);

  while (PortStackSize() > 0) PopPort();
  dialogs.Clear();
  EXPECT_THROW(PopPort(), FatalReport);
  ASSERT_EQ(dialogs.Reports().size(), 1u);
  EXPECT_EQ(dialogs.Reports()[0].message, "GWorld stack is empty!");
  EXPECT_EQ(dialogs.Reports()[0].detail, "PopPort()");
}

TEST_F(Ports, PopPortRestoresPortAndDevice) {
  World a, b;
  GDevice deviceA{}, deviceB{};
  GDPtr masterA = &deviceA, masterB = &deviceB;
  SetGWorld(a.port, &masterA);
  PushPort();
  SetGWorld(b.port, &masterB);
  PopPort();
  CGrafPtr port;
  GDHandle device;
  GetGWorld(&port, &device);
  EXPECT_EQ(port, a.port);
  EXPECT_EQ(device, &masterA);
  EXPECT_EQ(PortStackSize(), 0);
}

TEST_F(Ports, GetOldPortPeeksWithoutPopping) {
  World a;
  CGrafPtr port = reinterpret_cast<CGrafPtr>(0x10);
  GDHandle device = reinterpret_cast<GDHandle>(0x20);
  EXPECT_FALSE(GetOldPort(&port, &device));  // empty: nothing written
  EXPECT_EQ(port, reinterpret_cast<CGrafPtr>(0x10));
  EXPECT_EQ(device, reinterpret_cast<GDHandle>(0x20));

  GDevice d{};
  GDPtr master = &d;
  SetGWorld(a.port, &master);
  PushPort();
  SetGWorld(nullptr, nullptr);
  EXPECT_TRUE(GetOldPort(&port, nullptr));  // only the port is written
  EXPECT_EQ(port, a.port);
  EXPECT_TRUE(GetOldPort(&port, &device));
  EXPECT_EQ(device, &master);
  EXPECT_EQ(PortStackSize(), 1);
}

TEST_F(Ports, TextParamsAreSavedAndRestoredOnTheirOwnStack) {
  World a;
  SetGWorld(a.port, nullptr);
  TextFace(bold | italic);
  TextFont(4);
  TextMode(srcCopy);
  TextSize(14);
  EXPECT_EQ(QK_GetTextFace(), bold | italic);
  ASSERT_EQ(PushTextParams(), noErr);
  DefaultTextParams();
  EXPECT_EQ(QK_GetTextFace(), 0);
  EXPECT_EQ(GetTextFont(), 0);
  EXPECT_EQ(GetTextMode(), srcOr);
  EXPECT_EQ(GetTextSize(), 0);
  TextFace(0x17F);  // only the style byte is kept
  EXPECT_EQ(QK_GetTextFace(), 0x7F);
  PopTextParams();
  EXPECT_EQ(QK_GetTextFace(), bold | italic);
  EXPECT_EQ(GetTextFont(), 4);
  EXPECT_EQ(GetTextMode(), srcCopy);
  EXPECT_EQ(GetTextSize(), 14);
}

TEST_F(Ports, TextParamsStackHolds32AndReportsFullAndEmpty) {
  World a;
  SetGWorld(a.port, nullptr);
  for (int i = 0; i < 32; i++) ASSERT_EQ(PushTextParams(), noErr);
  EXPECT_THROW(PushTextParams(), FatalReport);
  for (int i = 0; i < 32; i++) PopTextParams();
  EXPECT_THROW(PopTextParams(), FatalReport);
  ASSERT_EQ(dialogs.Reports().size(), 2u);
  EXPECT_EQ(dialogs.Reports()[0].message, "Text params stack is full!");
  EXPECT_EQ(dialogs.Reports()[0].detail, "PushTextParams()");
  EXPECT_EQ(dialogs.Reports()[1].message, "Text params stack is empty!");
  EXPECT_EQ(dialogs.Reports()[1].detail, "PopTextParams()");
  EXPECT_TRUE(dialogs.Reports()[1].fatal);
}
