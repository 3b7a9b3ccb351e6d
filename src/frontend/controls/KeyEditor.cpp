#include "frontend/controls/KeyEditor.h"

#include "foundation/StringFunctions.h"
#include "frontend/KeyNames.h"
#include "frontend/Resources.h"
#include "frontend/controls/SkinDrawing.h"
#include "graphics/TextRender.h"
#include "platform/EventPlatform.h"

KeyEditor keyEDIT;

namespace {

// Between passes: whether the next button-down begins a press, and the key
// last seen down, ignored until it is released.
UInt8 firstInput = 1;
const UInt16 kNoKey = 0xFFFF;
UInt16 lastKey = kNoKey;

// The highest key code the editor takes.
const int kLastCode = 142;
const UInt8 kConflictTicks = 5;

// As a game key, a pause key would pause the game each time it is used.
bool Excluded(int code) { return ReservedKey(UInt8(code)); }

// A code with no name in the key table could never be shown or meant.
bool Unnamed(int code) {
  Str255 name;
  GetKeyString(UInt8(code), name, 0);
  return name[0] == 3 && name[1] == '?' && name[2] == '?' && name[3] == '?';
}

UInt8& KeyCode(int p, int k) { return playerKEY[p * kPlayerKeyCount + k]; }

void Play(ALSound* sound, Rect* box) {
  if (sound) PlaySound(sound, NextALSource(true), box, 1.0f, 1.0f, 0);
}

}  // namespace

void ResetKeyEditorInput() {
  firstInput = 1;
  lastKey = kNoKey;
}

KeyEditor::KeyEditor()
    : selectSound(nullptr),
      assignSound(nullptr),
      conflictSound(nullptr),
      numPlayers(0),
      numKeys(0),
      blink(0),
      conflicts(0) {
  Reset();
}

void KeyEditor::Init(char players, char keys) {
  numPlayers = players;
  numKeys = keys;
  player.ManualInit(UInt32(players));
  player.SetName((const unsigned char*)"\x06player", -1);
  for (int p = 0; p < players; ++p) {
    PlayerKey& row = player[UInt32(p)];
    row.image.ManualInit(UInt32(keys));
    row.image.SetName((const unsigned char*)"\x0fplayer[i].image", -1);
    row.rect.ManualInit(UInt32(keys));
    row.rect.SetName((const unsigned char*)"\x0eplayer[i].rect", -1);
    row.conflicted.ManualInit(UInt32(keys));
    row.conflicted.SetName((const unsigned char*)"\x14player[i].conflicted", -1);
  }
  Reset();
}

void KeyEditor::Reset() {
  Deselect();
  ClearConflicts();
}

void KeyEditor::Deselect() {
  selectedPlayer = -1;
  selectedKey = -1;
}

void KeyEditor::ClearConflicts() { conflicts = 0; }

void KeyEditor::RenderKey(char p, char key) {
  if (key < 0 || key >= numKeys || p < 0 || p >= numPlayers) return;
  PlayerKey& row = player[UInt32(p)];
  const Rect& box = row.rect[UInt32(key)];
  Rect area;
  SetRect2(&area, 0, 0, int(1.6 * (box.right - box.left)), int(1.6 * (box.bottom - box.top)));
  imageBUFF.Clear();
  imageBUFF.color = RGBAColorF();
  SetBright(&imageBUFF.color, 1.0f);
  Str255 name;
  const bool plain = GetKeyString(KeyCode(p, key), name, 0) == 0;
  if (plain) UppercaseString(name);
  char text[256];
  std::memcpy(text, name + 1, name[0]);
  text[name[0]] = 0;
  const float cx = area.right / 2.0f, cy = area.bottom / 2.0f;
  if (plain)
    DrawText(&imageBUFF, text, copperFONT, 22.4f, cx, cy + 6.4f, 1);
  else
    DrawText(&imageBUFF, text, copperFONT, 14.4f, cx, cy + 3.2f, 1);
  row.image[UInt32(key)].Update(&imageBUFF, &area);
}

void KeyEditor::HandleInput(UserInput* input) {
  if (!input->down) {
    firstInput = 1;
  } else if (firstInput) {
    int foundP = -1, foundK = -1;
    for (int p = 0; p < numPlayers && foundP < 0; ++p)
      for (int k = 0; k < numKeys; ++k)
        if (InsideControlRect(player[UInt32(p)].rect[UInt32(k)], input->where)) {
          foundP = p;
          foundK = k;
          break;
        }
    if (foundP < 0) {
      Deselect();
    } else if (foundP != selectedPlayer || foundK != selectedKey) {
      Play(selectSound, &player[UInt32(foundP)].rect[UInt32(foundK)]);
      selectedPlayer = SInt8(foundP);
      selectedKey = SInt8(foundK);
      blink = 0;
      // The keys pressed so far are not meant for the new box.
      FlushEvents(keyDownMask, 0);
      FlushKeyState();
      ClearConflicts();
      FlushEvents(mDownMask | mUpMask | keyDownMask | keyUpMask | autoKeyMask, 0);
    }
    firstInput = 0;
  }

  if (selectedPlayer >= 0 && selectedKey >= 0) {
    const int sp = selectedPlayer, sk = selectedKey;
    for (int code = 0; code <= kLastCode; ++code) {
      if (!KeyState(UInt8(code))) continue;
      if (code != lastKey && !Excluded(code) && !Unnamed(code)) {
        for (int p = 0; p < numPlayers; ++p)
          for (int k = 0; k < numKeys; ++k) {
            if ((p == sp && k == sk) || KeyCode(p, k) != code) continue;
            player[UInt32(p)].conflicted[UInt32(k)] = kConflictTicks;
            Play(conflictSound, &player[UInt32(p)].rect[UInt32(k)]);
            player[UInt32(sp)].conflicted[UInt32(sk)] = kConflictTicks;
            conflicts = 1;
          }
        if (!conflicts) {
          KeyCode(sp, sk) = UInt8(code);
          Play(assignSound, &player[UInt32(sp)].rect[UInt32(sk)]);
          RenderKey(char(sp), char(sk));
          Deselect();
          lastKey = UInt16(code);
          break;
        }
      }
      lastKey = UInt16(code);
    }
  }
  if (lastKey != kNoKey && !KeyState(UInt8(lastKey))) lastKey = kNoKey;
}

void KeyEditor::Animate() {
  blink = blink > 9 ? 0 : UInt8(blink + 1);
  for (int p = 0; p < numPlayers; ++p)
    for (int k = 0; k < numKeys; ++k) {
      UInt8& c = player[UInt32(p)].conflicted[UInt32(k)];
      if (c > 0 && --c == 0) conflicts = 0;
    }
}

void KeyEditor::Draw() {
  for (int p = 0; p < numPlayers; ++p)
    for (int k = 0; k < numKeys; ++k) {
      PlayerKey& row = player[UInt32(p)];
      Rect* box = &row.rect[UInt32(k)];
      row.image[UInt32(k)].Draw(box);
      const UInt8 count = row.conflicted[UInt32(k)];
      const bool selected = p == selectedPlayer && k == selectedKey;
      if ((selected && blink < 5) || count) DrawKeyBorder(box, count);
    }
}

void KeyEditor::DrawKeyBorder(Rect* box, unsigned char conflictedCount) {
  for (ImageGL& image : border) {
    image.SetBright(1.0f);
    if (conflictedCount) image.green = image.blue = 0.0f;
  }
  DrawThreePart(border, *box, border[0].Width(), border[1].Width(), border[2].Width(), true);
}
