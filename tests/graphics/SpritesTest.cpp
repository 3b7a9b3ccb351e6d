// Sprites: construction state and the global list, frames and lookups
// outside the array, hot rectangles and points with mirroring, fitting, and
// each alignment with and without mirroring and quarter turns.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "graphics/Sprites.h"
#include "shell/ApplInfo.h"
#include "support/RecordingDialogs.h"

namespace {

bool SameRect(const Rect& a, const Rect& b) {
  return a.top == b.top && a.left == b.left && a.bottom == b.bottom && a.right == b.right;
}
#define EXPECT_RECT(actual, t, l, b, r) EXPECT_PRED2(SameRect, actual, (Rect{t, l, b, r}))

std::vector<SpriteClass*> ListWalk() {
  std::vector<SpriteClass*> out;
  for (SpriteClass* s = firstSPRITE; s; s = s->next) out.push_back(s);
  return out;
}

TEST(SpriteList, ConstructionOrderCopiesAndDestruction) {
  UInt16 before = numSPRITES;
  auto a = std::make_unique<SpriteClass>();
  EXPECT_EQ(a->type, -1);
  EXPECT_EQ(a->part.Size(), 4u);
  for (UInt32 i = 0; i < 4; i++) EXPECT_EQ(a->part[i].on, 0);
  EXPECT_EQ(a->stateLongs[kStateLongScale], 65536);
  EXPECT_EQ(a->stateBytes[12], 24);
  EXPECT_EQ(a->Direction(), 1);
  EXPECT_EQ(a->color.red, 32);
  EXPECT_RECT(a->rect, 0, 0, 0, 0);
  EXPECT_EQ(lastSPRITE, a.get());
  EXPECT_EQ(numSPRITES, before + 1);

  auto b = std::make_unique<SpriteClass>();
  auto c = std::make_unique<SpriteClass>();
  // Assignment copies everything but the links.
  a->rect = Rect{1, 2, 3, 4};
  a->type = 7;
  a->part[2].on = 1;
  SpriteClass* bPrev = b->prev;
  SpriteClass* bNext = b->next;
  *b = *a;
  EXPECT_EQ(b->prev, bPrev);
  EXPECT_EQ(b->next, bNext);
  EXPECT_EQ(b->type, 7);
  EXPECT_EQ(b->part[2].on, 1);
  EXPECT_RECT(b->rect, 1, 2, 3, 4);

  // A copy is a sprite of its own at the tail.
  auto d = std::make_unique<SpriteClass>(*a);
  EXPECT_EQ(lastSPRITE, d.get());
  EXPECT_EQ(d->type, 7);

  // Destroyed sprites leave the list: head, middle and tail.
  std::vector<SpriteClass*> walk = ListWalk();
  ASSERT_GE(walk.size(), 4u);
  b.reset();
  d.reset();
  walk = ListWalk();
  EXPECT_EQ(std::count(walk.begin(), walk.end(), a.get()), 1);
  EXPECT_EQ(walk.back(), c.get());
  EXPECT_EQ(c->prev, a.get());
  EXPECT_EQ(numSPRITES, before + 2);
  c.reset();
  a.reset();
  EXPECT_EQ(numSPRITES, before);
  EXPECT_EQ(ListWalk().size(), size_t(before));
}

TEST(SpriteList, WalksTouchOnlySpritesThatAreOn) {
  SpriteClass on, off;
  on.on = 1;
  on.rect = off.rect = Rect{5, 5, 10, 10};
  on.clipRect = Rect{0, 0, 1, 1};
  on.part[1].on = 1;
  on.part[1].rect = Rect{1, 1, 2, 2};
  off.part[1].on = 1;
  off.part[1].rect = Rect{1, 1, 2, 2};
  SetSpriteOldRects();
  SetSpriteDrawRects();
  EXPECT_EQ(curSPRITE, nullptr);
  EXPECT_RECT(on.lastRect, 5, 5, 10, 10);
  EXPECT_RECT(on.oldRect, 5, 5, 10, 10);
  EXPECT_RECT(on.oldClipRect, 0, 0, 1, 1);
  EXPECT_RECT(on.part[1].oldRect, 1, 1, 2, 2);
  EXPECT_RECT(off.lastRect, 0, 0, 0, 0);
  EXPECT_RECT(off.oldRect, 0, 0, 0, 0);
  EXPECT_RECT(off.part[1].oldRect, 0, 0, 0, 0);

  on.lastRect = Rect{0, 8, 4, 20};
  on.MakeArea();
  EXPECT_RECT(on.GetArea(), 0, 5, 10, 20);
  on.copyOn = off.copyOn = 1;
  on.TurnOffCopy();
  off.TurnOffCopy();
  EXPECT_EQ(on.CopyOn(), 1);
  EXPECT_EQ(off.CopyOn(), 0);
}

// A three-frame array with align points, a hot rectangle and a hot point.
struct Frames {
  Frame f[3];
  Frames() {
    f[0].SetArraySize(3);
    f[0].SetArrayName("testFRAME");
    for (int i = 0; i < 3; i++) {
      f[i].setFrame(0, 0, SInt16(20 + 10 * i), 40);
      f[i].SetAlignPoint(1, SInt16(5 + i), 10);
    }
    f[0].setHotRect(0, 0, 10, 5, 20);
    f[0].setHotPoint(0, 4, 8);
  }
};

TEST(SpriteFrames, LookupsOutsideTheArrayGiveNothing) {
  Frames frames;
  SpriteClass s;
  s.SetFrame(nullptr);
  EXPECT_EQ(s.frames, nullptr);
  EXPECT_EQ(s.GetFrame(0), nullptr);
  s.SetFrame(frames.f);
  EXPECT_EQ(s.frameArray.count, 3);
  EXPECT_EQ(s.GetFrame(2), &frames.f[2]);
  EXPECT_EQ(s.GetFrame(3), nullptr);
  EXPECT_EQ(s.GetFrame(-1), nullptr);
  unsigned char name[64];
  s.ActionString(name);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(name + 1), name[0]), "testFRAME");

  // A frame index outside the array: queries answer zero, alignments move nothing.
  s.frame = 9;
  s.rect = Rect{1, 1, 2, 2};
  EXPECT_RECT(GetHotRect(&s, 0), 0, 0, 0, 0);
  EXPECT_FALSE(IsValidAlignPoint(&s, 1));
  Point p;
  GetHotPoint(&s, 0, &p);
  EXPECT_EQ(p.h, 0);
  AlignSpriteToCoord(&s, 1, 100, 100);
  AlignNextStep(&s, 1, 0);
  SpriteClass t;
  AlignSprite(&s, 1, &t, 1);
  EXPECT_RECT(s.rect, 1, 1, 2, 2);

  // A new pixmap-less frame keeps the old pixmap handle.
  PixMapHandle fake = reinterpret_cast<PixMapHandle>(&name);
  s.pixMap = fake;
  s.SetFrame(frames.f);
  EXPECT_EQ(s.pixMap, fake);
}

TEST(SpriteFrames, HotItemsMapAndMirror) {
  Frame f;
  f.setFrame(0, 0, 40, 20);
  f.setHotRect(0, 0, 10, 5, 20);  // (10, 0, 20, 5)
  f.setHotPoint(0, 4, 8);
  SpriteClass s;
  s.SetFrame(&f);
  s.rect = Rect{100, 200, 120, 240};
  EXPECT_RECT(GetHotRect(&s, 0), 110, 200, 120, 205);
  EXPECT_RECT(GetHotRect(&s, 1), 0, 0, 0, 0);
  s.mirrorH = 1;
  EXPECT_RECT(GetHotRect(&s, 0), 110, 235, 120, 240);
  Point p;
  GetHotPoint(&s, 0, &p);
  EXPECT_EQ(p.h, 236);
  EXPECT_EQ(p.v, 108);
  SetSpriteReal(&s, 1);
  EXPECT_RECT(s.realRect, 110, 235, 120, 240);
  // Twice the frame's size: mapped and scaled.
  s.mirrorH = 0;
  s.rect = Rect{0, 0, 40, 80};
  EXPECT_RECT(GetHotRect(&s, 0), 20, 0, 40, 10);
  // No align point: (0, 0), unmapped.
  EXPECT_EQ(GetAlignPoint(&s, 3).h, 0);
  f.SetAlignPoint(3, 10, 10);
  EXPECT_EQ(GetAlignPoint(&s, 3).h, 20);
  // An empty frame bounds only moves.
  Rect r{1, 2, 3, 4}, empty{5, 5, 5, 5}, to{10, 20, 30, 40};
  MapRect(&r, &empty, &to);
  EXPECT_RECT(r, 6, 17, 8, 19);
}

TEST(SpriteFit, AnchorsAndQuarterTurns) {
  Frame f;
  f.setFrame(0, 0, 5, 3);
  struct {
    SInt8 h, v;
    Rect expected;
  } cases[] = {{0, 0, {4, 3, 7, 8}}, {-1, -1, {7, 5, 10, 10}}, {1, 1, {0, 0, 3, 5}}};
  for (const auto& c : cases) {
    Rect r{0, 0, 10, 10};
    SetRectToFrame_Angle(&r, f, c.h, c.v);
    EXPECT_RECT(r, c.expected.top, c.expected.left, c.expected.bottom, c.expected.right);
  }
  SpriteClass s;
  s.rect = Rect{0, 0, 10, 10};
  s.rotation = 1;
  SetRectToFrame2(s, f, 1, 1);
  EXPECT_RECT(s.rect, 0, 0, 5, 3);
}

TEST(SpriteAlign, KeepsAlignPointsTogether) {
  Frames frames;
  SpriteClass s, t;
  s.SetFrame(frames.f);
  t.SetFrame(frames.f);
  // Next step: align point 1 moves from h 5 to h 6, so the rectangle moves left by one.
  s.rect = Rect{100, 100, 140, 120};
  AlignNextStep(&s, 1, -1);
  EXPECT_EQ(s.frame, 1);
  EXPECT_RECT(s.rect, 100, 99, 140, 129);
  s.mirrorH = 1;
  AlignNextStep(&s, 1, 2);  // mirrored: offsets from the right edge (30-6=24, 40-7=33)
  EXPECT_RECT(s.rect, 100, 90, 140, 130);

  struct {
    const char* name;
    SInt16 sMirror, tMirror, tRotation, sRotation;
    Rect expected;
  } cases[] = {
      {"plain", 0, 0, 0, 0, {200, 300, 240, 320}},
      {"target mirrored", 0, 1, 0, 0, {200, 310, 240, 330}},
      {"sprite mirrored", 1, 0, 0, 0, {200, 290, 240, 310}},
      {"target turned twice", 0, 0, 2, 0, {220, 310, 260, 330}},
      {"sprite turned once", 0, 0, 0, 1, {205, 275, 225, 315}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    s.frame = 0, t.frame = 0;
    s.mirrorH = c.sMirror, t.mirrorH = c.tMirror;
    s.rotation = c.sRotation, t.rotation = c.tRotation;
    t.rect = Rect{200, 300, 240, 320};
    AlignSprite(&s, 1, &t, 1);
    EXPECT_RECT(s.rect, c.expected.top, c.expected.left, c.expected.bottom, c.expected.right);
  }
  s.mirrorH = 0, s.rotation = 0;
  AlignSpriteToCoord(&s, 1, 50, 60);
  EXPECT_RECT(s.rect, 50, 45, 90, 65);

  // Parts: AlignPart takes the target's flags; AlignSprite2 aims at part 0.
  t.mirrorH = 1, t.rotation = 0;
  t.rect = Rect{0, 0, 40, 20};
  SpritePart& part = s.part[0];
  part.SetFrame(frames.f);
  AlignPart(&part, 1, &t, 1);
  EXPECT_EQ(part.mirrorH, 1);
  EXPECT_RECT(part.rect, 0, 0, 40, 20);
  t.part[0].SetFrame(frames.f);
  t.part[0].rect = Rect{10, 10, 50, 30};
  t.mirrorH = 0;
  AlignSprite2(&s, 1, &t, 1);
  EXPECT_RECT(s.rect, 10, 10, 50, 30);
  AlignSprite2to1(&s, 1, &t, 1, 0);
  EXPECT_RECT(part.rect, 0, 0, 40, 20);
}

TEST(SpriteAlign, NextActionSwitchesArrays) {
  Frames frames;
  Frame other[2];
  other[0].SetArraySize(2);
  other[0].SetArrayName("otherFRAME");
  for (auto& f : other) {
    f.setFrame(0, 0, 10, 10);
    f.SetAlignPoint(1, 2, 3);
  }
  frames.f[0].capacity = 3;
  other[0].capacity = 2;
  Frame* table[2] = {frames.f, other};
  Frame** tablePtr = table;
  SInt16 count = 2;
  frameLIST = &tablePtr;
  curFrame = &count;
  SpriteClass s;
  s.SetFrame(frames.f);
  s.action = 0;
  s.rect = Rect{100, 100, 140, 120};
  s.part[0].on = 1;
  AlignNextAction(&s, 1, 1, 1, -1);
  EXPECT_EQ(s.oldAction, 0);
  EXPECT_EQ(s.action, 1);
  EXPECT_EQ(s.frame, 1);
  EXPECT_EQ(s.frames, other);
  EXPECT_EQ(s.part[0].on, 0);
  EXPECT_RECT(s.rect, 107, 103, 117, 113);
  frameLIST = nullptr;
  curFrame = nullptr;
}

TEST(SpriteAlign, DirectionZeroIsFatal) {
  RecordingDialogs dialogs;
  Frames frames;
  SpriteClass s;
  s.SetFrame(frames.f);
  s.stateBytes[kStateByteDirection] = 0;
  EXPECT_THROW(AlignNextStep(&s, 1, -1), FatalReport);
  ASSERT_EQ(dialogs.Reports().size(), 1u);
  EXPECT_EQ(dialogs.Reports()[0].message, "The sprite has an animation direction value of 0.");
  EXPECT_EQ(dialogs.Reports()[0].detail, "AlignNextStep()");
}

}  // namespace
