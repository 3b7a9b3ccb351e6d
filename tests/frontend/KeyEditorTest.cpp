#include <gtest/gtest.h>

#include <string>

#include "ControlTestSupport.h"
#include "frontend/KeyNames.h"
#include "frontend/Resources.h"
#include "frontend/controls/KeyEditor.h"
#include "platform/KeyCodes.h"
#include "shell/KeyState.h"
#include "support/FakeEventPlatform.h"

namespace {

const UInt8 kKeyA = 0, kKeyS = 1, kKeyD = 2;

// Two rows of five 36 x 30 boxes: player p's key k at (100 + 40 k, 300 + 40 p).
class KeyEditorTest : public ::testing::Test {
 protected:
  KeyEditorTest() {
    if (!imageBUFF.pixels) imageBUFF.Init(1024, 1024);
    DefaultKeys();
    FlushKeyState();
    FakeLoad(&selectSound, 61);
    FakeLoad(&assignSound, 62);
    FakeLoad(&conflictSound, 63);
    editor.selectSound = &selectSound;
    editor.assignSound = &assignSound;
    editor.conflictSound = &conflictSound;
    editor.Init(2, 5);
    for (int p = 0; p < 2; ++p)
      for (int k = 0; k < 5; ++k) SetRect2(&Box(p, k), 100 + 40 * k, 300 + 40 * p, 36, 30);
  }
  ~KeyEditorTest() override {
    DefaultKeys();
    FlushKeyState();
    for (int p = 0; p < 2; ++p)
      for (int k = 0; k < 5; ++k) editor.player[UInt32(p)].image[UInt32(k)].texture = 0;
  }
  Rect& Box(int p, int k) { return editor.player[UInt32(p)].rect[UInt32(k)]; }
  UInt8 Conflicted(int p, int k) { return editor.player[UInt32(p)].conflicted[UInt32(k)]; }
  // A pass with the button down at the middle of a box (or far from all).
  void Click(int p, int k) {
    UserInput in{1, 1, Point{0, 0}};
    if (p >= 0) in.where = Point{SInt16(Box(p, k).top + 15), SInt16(Box(p, k).left + 18)};
    editor.HandleInput(&in);
    Up();
  }
  void Up() {
    UserInput in{0, 0, Point{0, 0}};
    editor.HandleInput(&in);
  }
  void Press(UInt8 code) {
    UpdateKeyState(code, 1);
    Up();
  }
  void Release(UInt8 code) {
    UpdateKeyState(code, 0);
    Up();
  }
  size_t Sounds(unsigned buffer) const {
    size_t n = 0;
    for (const FakePlay& s : rec.sounds) n += s.buffer == buffer;
    return n;
  }
  FakeEventPlatform platform;
  ControlTestRecorders rec;
  ALSound selectSound, assignSound, conflictSound;
  KeyEditor editor;
};

TEST_F(KeyEditorTest, InitNamesItsArraysAndStartsUnselected) {
  EXPECT_EQ(editor.player.Size(), 2u);
  EXPECT_EQ(std::string((const char*)editor.player.name + 1, editor.player.name[0]), "player");
  const PlayerKey& row = editor.player[1];
  EXPECT_EQ(std::string((const char*)row.conflicted.name + 1, row.conflicted.name[0]), "player[i].conflicted");
  EXPECT_EQ(row.image.Size(), 5u);
  EXPECT_EQ(editor.selectedPlayer, -1);
  EXPECT_EQ(editor.selectedKey, -1);
}

TEST_F(KeyEditorTest, ClickSelectsAndTheNextKeyIsAssigned) {
  Click(0, 4);
  EXPECT_EQ(editor.selectedPlayer, 0);
  EXPECT_EQ(editor.selectedKey, 4);
  EXPECT_EQ(Sounds(61), 1u);
  Press(kKeyD);
  EXPECT_EQ(playerKEY[4], kKeyD);
  EXPECT_EQ(Sounds(62), 1u);
  EXPECT_EQ(editor.selectedPlayer, -1);
}

TEST_F(KeyEditorTest, ClickingTheSelectedBoxKeepsItQuietlyAndOutsideEndsIt) {
  Click(1, 2);
  Click(1, 2);
  EXPECT_EQ(editor.selectedKey, 2);
  EXPECT_EQ(Sounds(61), 1u);
  Click(-1, 0);
  EXPECT_EQ(editor.selectedPlayer, -1);
}

TEST_F(KeyEditorTest, OnlyTheFirstPassOfAPressSelects) {
  UserInput in{1, 1, Point{315, 118}};  // player 0, key 0
  editor.HandleInput(&in);
  in.where = Point{315, 158};  // dragged onto key 1
  editor.HandleInput(&in);
  EXPECT_EQ(editor.selectedKey, 0);
}

TEST_F(KeyEditorTest, AKeyHeldByAnotherBoxShowsAConflictAndChangesNothing) {
  Click(0, 4);          // player 1's fire
  Press(playerKEY[5]);  // player 2's left
  EXPECT_EQ(playerKEY[4], 49);
  EXPECT_EQ(playerKEY[5], 86);
  EXPECT_EQ(Conflicted(0, 4), 5);
  EXPECT_EQ(Conflicted(1, 0), 5);
  EXPECT_EQ(editor.conflicts, 1);
  EXPECT_EQ(Sounds(63), 1u);
  EXPECT_EQ(Sounds(62), 0u);
  EXPECT_EQ(editor.selectedKey, 4);  // still selected
  // Held on: no second conflict.
  Up();
  EXPECT_EQ(Sounds(63), 1u);
}

TEST_F(KeyEditorTest, AfterAConflictFreeKeysWaitForTheBordersToGo) {
  Click(0, 4);
  Press(86);
  Release(86);
  Press(kKeyA);
  EXPECT_EQ(playerKEY[4], 49);  // blocked
  for (int tick = 0; tick < 5; ++tick) editor.Animate();
  EXPECT_EQ(editor.conflicts, 0);
  EXPECT_EQ(Conflicted(1, 0), 0);
  Up();
  EXPECT_EQ(playerKEY[4], 49);  // still held from before: ignored
  Release(kKeyA);
  Press(kKeyA);
  EXPECT_EQ(playerKEY[4], kKeyA);
}

TEST_F(KeyEditorTest, TheBoxsOwnKeyIsSimplyAssignedAgain) {
  Click(1, 4);
  Press(82);
  EXPECT_EQ(playerKEY[9], 82);
  EXPECT_EQ(Sounds(63), 0u);
  EXPECT_EQ(Sounds(62), 1u);
  EXPECT_EQ(editor.selectedPlayer, -1);
}

TEST_F(KeyEditorTest, TwoKeysInOnePassTheLowerCodeWins) {
  Click(0, 0);
  UpdateKeyState(kKeyD, 1);
  UpdateKeyState(kKeyS, 1);
  Up();
  EXPECT_EQ(playerKEY[0], kKeyS);
  EXPECT_EQ(playerKEY[1], 124);
  EXPECT_EQ(Sounds(62), 1u);
}

TEST_F(KeyEditorTest, SelectingForgetsKeysAlreadyDown) {
  UpdateKeyState(kKeyA, 1);
  Click(0, 0);
  EXPECT_EQ(playerKEY[0], 123);
  EXPECT_EQ(editor.selectedKey, 0);
}

TEST_F(KeyEditorTest, RefusesReservedKeysAndKeysWithoutAName) {
  struct Case {
    UInt8 code;
    const char* why;
  };
  for (Case c : {Case{kKeyCapsLock, "caps lock pauses"}, Case{keycode::kEscape, "Escape pauses"},
                 Case{keycode::kReturn, "Return pauses"}, Case{10, "no name"}, Case{52, "no name"}}) {
    SCOPED_TRACE(c.why);
    FlushKeyState();
    Click(0, 2);
    Press(c.code);
    EXPECT_EQ(playerKEY[2], 126);
    EXPECT_EQ(editor.selectedKey, 2);
    Release(c.code);
  }
  EXPECT_EQ(Sounds(62), 0u);
  Press(kKeyS);  // a named key is still taken afterwards
  EXPECT_EQ(playerKEY[2], kKeyS);
}

TEST_F(KeyEditorTest, SelectionBlinksAndConflictsShowRedBorders) {
  for (int k = 0; k < 3; ++k) FakeImage(&editor.border[k], 8, 30);
  Click(0, 4);
  Press(86);
  editor.blink = 0;
  editor.Draw();
  // The selected box and the conflicting one: three pieces each, red.
  auto left = rec.DrawsOf(editor.border[0]);
  ASSERT_EQ(left.size(), 2u);
  EXPECT_EQ(left[0].rect.left, 260);
  EXPECT_EQ(left[1].rect.left, 100);
  EXPECT_EQ(left[1].rect.top, 340);
  EXPECT_TRUE(left[0].bright);
  EXPECT_FLOAT_EQ(left[0].red, 1.0f);
  EXPECT_FLOAT_EQ(left[0].green, 0.0f);
  EXPECT_EQ(rec.DrawsOf(editor.player[0].image[4]).size(), 1u);

  for (int tick = 0; tick < 5; ++tick) editor.Animate();
  rec.draws.clear();
  editor.blink = 5;  // the dark part of the blink, no conflict left
  editor.Draw();
  EXPECT_TRUE(rec.DrawsOf(editor.border[0]).empty());
  rec.draws.clear();
  editor.blink = 4;
  editor.Draw();
  auto plain = rec.DrawsOf(editor.border[0]);
  ASSERT_EQ(plain.size(), 1u);
  EXPECT_FLOAT_EQ(plain[0].green, 1.0f);
  for (int k = 0; k < 3; ++k) FakeImage(&editor.border[k], 0, 0, false);
}

TEST_F(KeyEditorTest, BlinkRunsAnElevenTickCycle) {
  editor.blink = 0;
  for (int tick = 1; tick <= 10; ++tick) editor.Animate();
  EXPECT_EQ(editor.blink, 10);
  editor.Animate();
  EXPECT_EQ(editor.blink, 0);
}

}  // namespace
