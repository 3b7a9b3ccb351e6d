// The key editor of the main screen: each player's five keys (left, right,
// up, down, fire) as a row of boxes showing the key names. Clicking a box
// selects it and the next key pressed is assigned to it, unless another box
// already holds that key: then both show a red border for a moment and
// nothing changes. The codes live in playerKEY.
#pragma once

#include "foundation/Array.h"
#include "graphics/ImageGL.h"
#include "shell/Events.h"
#include "sound/SoundEffects.h"

struct PlayerKey {
  Array<ImageGL> image;     // the rendered key name of each box
  Array<Rect> rect;         // each box on screen
  Array<UInt8> conflicted;  // animation ticks left of a shown conflict
};

class KeyEditor {
 public:
  ImageGL border[3];  // left cap, middle, right cap
  ALSound* selectSound;
  ALSound* assignSound;
  ALSound* conflictSound;
  SInt8 numPlayers;
  SInt8 numKeys;
  SInt8 selectedPlayer;  // -1: nothing selected
  SInt8 selectedKey;
  UInt8 blink;      // 0 to 10; the selection's border shows while below 5
  UInt8 conflicts;  // set while a conflict is shown; blocks assignment
  Array<PlayerKey> player;

  KeyEditor();
  void Init(char players, char keys);
  void Reset();
  void Deselect();
  // Ends the block on assignment; the red borders run out on their own.
  void ClearConflicts();
  // Renders the name of one key into its box's image.
  void RenderKey(char playerIndex, char key);
  // Once per pass while the main screen is in front.
  void HandleInput(UserInput* input);
  // Once per animation tick.
  void Animate();
  void Draw();
  void DrawKeyBorder(Rect* box, unsigned char conflictedCount);
};

extern KeyEditor keyEDIT;

// Forgets the press and the held key the editor remembers between passes.
void ResetKeyEditorInput();
