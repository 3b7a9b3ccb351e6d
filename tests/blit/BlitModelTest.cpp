#include <gtest/gtest.h>

#include <string>

#include "blit/BlitModel.h"
#include "blit/CopySprite.h"
#include "blit/EffectSprite.h"
#include "blit/ScaleSprite.h"
#include "blit/TestSprite.h"
#include "support/RecordingDialogs.h"

namespace {

struct Orientation {
  int turn, hFlip, vFlip;
  SInt32 startCorner, pixDir, rowDir;
};

}  // namespace

TEST(CalcRectStart, CodesForEveryTurnAndFlip) {
  const Orientation table[] = {
      {0, 0, 0, 0, 0, 0}, {0, 0, 1, 1, 0, 2}, {0, 1, 0, 3, 2, 0}, {0, 1, 1, 2, 2, 2},
      {1, 0, 0, 1, 1, 1}, {1, 0, 1, 2, 1, 3}, {1, 1, 0, 0, 3, 1}, {1, 1, 1, 3, 3, 3},
      {2, 0, 0, 2, 2, 2}, {2, 0, 1, 3, 2, 0}, {2, 1, 0, 1, 0, 2}, {2, 1, 1, 0, 0, 0},
      {3, 0, 0, 3, 3, 3}, {3, 0, 1, 0, 3, 1}, {3, 1, 0, 2, 1, 3}, {3, 1, 1, 1, 1, 1},
  };
  for (const Orientation& o : table) {
    Rect src{0, 0, 4, 6};
    const Rect dst{0, 0, 6, 6}, clip{0, 0, 6, 6};
    SInt32 corner, pix, back, row;
    UInt8 xShrink, yShrink;
    CalcRectStart(&src, &dst, &clip, nullptr, o.hFlip, o.vFlip, char(o.turn), &corner, &pix, &back, &row, &xShrink,
                  &yShrink);
    SCOPED_TRACE(testing::Message() << "turn " << o.turn << " h " << o.hFlip << " v " << o.vFlip);
    EXPECT_EQ(corner, o.startCorner);
    EXPECT_EQ(pix, o.pixDir);
    EXPECT_EQ(back, o.pixDir);
    EXPECT_EQ(row, o.rowDir);
  }
}

TEST(CalcRectStart, WorkedQuarterTurnSetUpAndItsClippedForm) {
  // A 3 x 4 source at (20, 10) in rows of 100 pixels, turned once into 4 x 3.
  Rect src{10, 20, 14, 23};
  const Rect dst{0, 0, 3, 4};
  SInt32 corner, pix, back, row;
  UInt8 xShrink, yShrink;
  Rect clip = dst;
  CalcRectStart(&src, &dst, &clip, nullptr, 0, 0, 1, &corner, &pix, &back, &row, &xShrink, &yShrink);
  WalkSteps w = WalkFromCodes(src, 100, corner, pix, back, row);
  EXPECT_EQ(corner, 1);
  EXPECT_EQ(w.start, 1320);
  EXPECT_EQ(w.pixStep, -100);
  EXPECT_EQ(w.rowStep, 401);
  EXPECT_EQ(xShrink, 0);
  EXPECT_EQ(yShrink, 0);

  // Without the destination's left column the source's bottom row goes.
  src = Rect{10, 20, 14, 23};
  clip = Rect{0, 1, 3, 4};
  CalcRectStart(&src, &dst, &clip, nullptr, 0, 0, 1, &corner, &pix, &back, &row, &xShrink, &yShrink);
  w = WalkFromCodes(src, 100, corner, pix, back, row);
  EXPECT_EQ(src.bottom, 13);
  EXPECT_EQ(w.start, 1220);
  EXPECT_EQ(w.rowStep, 301);
}

TEST(CalcRectStart, ScaledTrimTruncatesAndTheMaskMovesByDestinationAmounts) {
  Rect src{0, 0, 10, 20};  // twice the destination's width
  const Rect dst{0, 0, 10, 10};
  const Rect clip{2, 3, 9, 10};
  Rect mask{100, 200, 110, 210};
  SInt32 corner, pix, back, row;
  UInt8 xShrink, yShrink;
  CalcRectStart(&src, &dst, &clip, &mask, 0, 0, 0, &corner, &pix, &back, &row, &xShrink, &yShrink);
  EXPECT_EQ(src.left, 6);    // 3 x 20 / 10
  EXPECT_EQ(src.top, 2);     // 2 x 10 / 10
  EXPECT_EQ(src.bottom, 9);  // 1 x 10 / 10
  EXPECT_EQ(xShrink, 1);
  EXPECT_EQ(yShrink, 0);
  EXPECT_EQ(mask.left, 203);
  EXPECT_EQ(mask.top, 102);
  EXPECT_EQ(mask.bottom, 109);
  EXPECT_EQ(mask.right, 210);

  Rect odd{0, 0, 10, 5};  // 5 x 3 / 10 = 1.5 truncates to 1
  const Rect clipOdd{0, 3, 10, 10};
  CalcRectStart(&odd, &dst, &clipOdd, nullptr, 0, 0, 0, &corner, &pix, &back, &row, &xShrink, &yShrink);
  EXPECT_EQ(odd.left, 1);
}

TEST(BitFields, MaskTableAndRotates) {
  EXPECT_EQ(rlMask[0][31], 0xFFFFFFFFu);
  EXPECT_EQ(rlMask[0][0], 0x80000000u);
  EXPECT_EQ(rlMask[31][31], 0x00000001u);
  EXPECT_EQ(rlMask[31][0], 0x80000001u);
  EXPECT_EQ(rlMask[5][4], 0xFFFFFFFFu);
  EXPECT_EQ(rlMask[16][31], 0x0000FFFFu);
  EXPECT_EQ(rlMask[17][21], 0x00007C00u);
  EXPECT_EQ(rlMask[22][26], 0x000003E0u);
  EXPECT_EQ(rlMask[27][31], 0x0000001Fu);
  for (int mb = 0; mb < 32; ++mb) {
    for (int me = 0; me < 32; ++me) {
      UInt32 bits = 0;
      for (int b = 0; b < 32; ++b) {
        const bool in = mb <= me ? (b >= mb && b <= me) : (b >= mb || b <= me);
        if (in) bits |= 0x80000000u >> b;
      }
      ASSERT_EQ(rlMask[mb][me], bits) << mb << " " << me;
    }
  }
  EXPECT_EQ(__rlwinm(0x12345678, 8, 0, 31), 0x34567812u);
  EXPECT_EQ(__rlwinm(0x12345678, 0, 27, 31), 0x18u);
  EXPECT_EQ(__rlwinm(0x12345678, 32, 0, 31), 0x12345678u);
  EXPECT_EQ(__rlwimi(0x7FFF, 0x7FFF, 16, 6, 10), 0x03E07FFFu);  // green copied up
  EXPECT_EQ(__rlwimi(0x03E00000, 0x03E00000, 16, 22, 26), 0x03E003E0u);
}

// The naming rule, spelled independently of the library's own builder.
std::string RuleName(const std::string& prefix, const std::vector<std::string>& flags, unsigned slot, bool stub) {
  std::string name = prefix;
  for (size_t i = 0; i < flags.size(); ++i) {
    name += (slot >> (flags.size() - 1 - i)) & 1 ? "_X_" : "___";
    name += flags[i];
  }
  return stub ? name + "_UNUSED" : name;
}

TEST(KernelNames, FollowTheRuleInEverySlot) {
  const std::vector<std::string> basic = {"lookup", "color", "trans", "mask"};
  for (unsigned slot = 0; slot < 16; ++slot) {
    const bool stub = slot >= 12;
    EXPECT_EQ(KernelName(KernelFamily::Copy8, slot), RuleName("COPY8", basic, slot, stub));
    EXPECT_EQ(KernelName(KernelFamily::Copy16, slot), RuleName("COPY16", basic, slot, stub));
    EXPECT_EQ(KernelName(KernelFamily::Scale32, slot), RuleName("SCALE32", basic, slot, stub));
    EXPECT_EQ(KernelName(KernelFamily::Test16, slot), std::string("TEST16___lookup___color___trans___mask"));
  }
  EXPECT_EQ(KernelName(KernelFamily::Copy16, 16), nullptr);
  EXPECT_STREQ(KernelName(KernelFamily::Copy16, 9), "COPY16_X_lookup___color___trans_X_mask");
  EXPECT_STREQ(KernelName(KernelFamily::Copy32, 15), "COPY32_X_lookup_X_color_X_trans_X_mask_UNUSED");
  EXPECT_STREQ(KernelName(KernelFamily::CopyFX16, 1), "COPY16_X_mask");
  EXPECT_STREQ(KernelName(KernelFamily::ScaleFX8, 0), "SCALE8___mask");
  EXPECT_EQ(KernelName(KernelFamily::ScaleFX8, 2), nullptr);
  EXPECT_STREQ(KernelName(KernelFamily::TestFX16, 1), "TEST16___lookup___color___mask");

  const std::vector<std::string> effect = {"bright", "mapping", "alpha", "lookup", "color", "trans", "mask"};
  int stubs = 0;
  for (unsigned slot = 0; slot < 128; ++slot) {
    const bool lookup = slot & 8, color = slot & 4, mapping = slot & 32, bright = slot & 64;
    const bool stub = (lookup && color) || (color && (mapping || bright)) || (mapping && bright);
    stubs += stub;
    EXPECT_EQ(IsStubSlot(KernelFamily::CopyRGB16, slot), stub) << slot;
    EXPECT_EQ(KernelName(KernelFamily::CopyRGB16, slot), RuleName("COPY16", effect, slot, stub));
    EXPECT_EQ(KernelName(KernelFamily::ScaleRGB16, slot), RuleName("SCALE16", effect, slot, stub));
  }
  EXPECT_EQ(stubs, 72);
  EXPECT_STREQ(KernelName(KernelFamily::CopyRGB16, 12),
               "COPY16___bright___mapping___alpha_X_lookup_X_color___trans___mask_UNUSED");
  EXPECT_STREQ(KernelName(KernelFamily::ScaleRGB16, 96),
               "SCALE16_X_bright_X_mapping___alpha___lookup___color___trans___mask_UNUSED");
}

template <class T>
void ExpectStubsAlertByName(const JumpTable<BlitKernel<T>>& table, KernelFamily family) {
  RecordingDialogs dialogs;
  for (unsigned slot = 0; slot < 128; ++slot) {
    if (slot >= 16) {
      EXPECT_EQ(table[slot], nullptr) << slot;
      continue;
    }
    ASSERT_NE(table[slot], nullptr) << slot;
    if (!IsStubSlot(family, slot)) continue;
    T pixels[4] = {1, 2, 3, 4};
    dialogs.Clear();
    table[slot](0, pixels, pixels + 2, nullptr, 1, 2, 2, 0, 0, 0, 0, pixels + 4, 2, 0, 0, 0, pixels, 1, pixels);
    ASSERT_EQ(dialogs.Reports().size(), 1u) << slot;
    EXPECT_EQ(dialogs.Reports()[0].message, KernelName(family, slot));
    EXPECT_EQ(dialogs.Reports()[0].detail, "");
    EXPECT_EQ(dialogs.Reports()[0].button, "OK");
    EXPECT_EQ(pixels[2], T(3));
    EXPECT_EQ(pixels[3], T(4));
  }
}

TEST(KernelStubs, EveryLookupAndColourSlotAlertsWithItsNameAndDrawsNothing) {
  ExpectStubsAlertByName(CopySprite8Jump, KernelFamily::Copy8);
  ExpectStubsAlertByName(CopySprite16Jump, KernelFamily::Copy16);
  ExpectStubsAlertByName(CopySprite32Jump, KernelFamily::Copy32);
  ExpectStubsAlertByName(ScaleSprite8Jump, KernelFamily::Scale8);
  ExpectStubsAlertByName(ScaleSprite16Jump, KernelFamily::Scale16);
  ExpectStubsAlertByName(ScaleSprite32Jump, KernelFamily::Scale32);
  for (unsigned slot = 0; slot < 128; ++slot) {
    EXPECT_EQ(TestSprite16Jump[slot] != nullptr, slot < 16);
    EXPECT_EQ(TestSpriteFX16Jump[slot] != nullptr, slot < 2);
    EXPECT_EQ(CopySpriteFX8Jump[slot] != nullptr, slot < 2);
    EXPECT_EQ(ScaleSpriteFX32Jump[slot] != nullptr, slot < 2);
  }
}
