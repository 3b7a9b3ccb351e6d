// The menu between games: a dark page with the turning nebula, drifting
// rocks and the title artwork; the Play, Help, Sound, Music and Quit buttons
// (lights show whether sound and music are on), the two volume sliders, the
// clear-scores button, the high-score table, the version line and both
// players' key editors. It fades in on opening and out before a game starts
// or the program quits; each time it has faded in it asks whether a player's
// last score entered the table, and if so for the name.
#pragma once

#include <string>
#include <vector>

#include "frontend/controls/ControlGL.h"
#include "frontend/screens/ScreenGL.h"
#include "graphics/ImageGL.h"
#include "graphics/WindowPieces.h"
#include "sound/CompressedSound.h"

class PlistTag;

class MainScreen final : public ScreenGL {
 public:
  enum { kPlay = 0, kHelp = 1, kSound = 2, kMusic = 3, kQuit = 4, kButtons = 5 };
  // What is drawn over the frame, in order: the buttons, then these.
  enum {
    kClearScoresLayer = kButtons,
    kSoundLight,
    kMusicLight,
    kFirstSlider,
    kKeysLayer = kFirstSlider + 2,
    kVersionLayer,
    kScoresLayer,
    kStillLayers
  };
  // Values of fadeDirection and leaveAction.
  enum : UInt8 { kFadingIn = 1, kFadingOut = 255, kStay = 255, kLeaveToGame = kPlay, kLeaveToQuit = kQuit };

  ImageGL main;
  ImageGL nebula;
  ImageGL scores;
  ImageGL version;
  Music music;
  Rect nebulaRect, scoresRect, versionRect;
  MSButton buttons[kButtons];
  MSButton clearScoresButton;
  UInt8 fadeDirection;
  UInt8 leaveAction;
  float scale;

  MainScreen();
  void Reset();
  void Open();
  void Process() override;
  void Draw() override;
  const char* TraceName() const override { return "main screen"; }
  bool TakesInput() const override;
  void RenderVersionText();
  void RenderScores();
  // Lets go of the pictures and the music's data.
  void Dispose();

  // What is drawn over the moving nebula and rocks changes seldom: the
  // panel frame, the controls and the texts. The window's tiles are sorted
  // by what the frame does to them (covers them, leaves them, or lets some
  // through); where the frame covers a tile, what is drawn there does not
  // depend on the nebula, and the picture of such tiles is copied once and
  // drawn back, for as long as what lies in them is unchanged.
  struct Still {
    enum : UInt8 { kLeft = 0, kCovered = 1, kSeenThrough = 2, kCopied = 3 };
    bool sorted = false;
    // What the sorting was done for.
    UInt32 context = 0;  // the serial of the context sorted in
    Rect window{0, 0, 0, 0};
    ScissorBox area{0, 0, 0, 0};
    UInt32 frameTexture = 0, layout = 0;
    std::vector<ScissorBox> coveredBoxes, seenThroughBoxes, copiedBoxes;
    std::vector<ScissorBox> underBoxes;  // where the nebula can be seen
    std::vector<bool> live;              // by layer: drawn each frame, not copied
    std::vector<UInt64> copyOf;          // the layers' states when the copy was taken
    WindowCopy copy;
    UInt32 copiesTaken = 0;  // for measuring and tests
  } still;
  // Forgets the sorting and the copy (the next frame sorts again).
  void ForgetStill();

 private:
  void HandleButtons(UserInput* input);
  void Fade();
  Rect StillLayerArea(int layer) const;
  UInt64 StillLayerState(int layer) const;
  void DrawStillLayer(int layer);
  void SortStillTiles();
  void DrawStill();
  UInt32 layoutsDone = 0, scoresDone = 0, versionsDone = 0;
};

extern MainScreen mainSCREEN;

// Play, as the Play button does it: fade out, then start the game.
void StartGame_MainScreen();
void OpenMainScreen();
// The on/off light in the gap left of a Sound or Music button, side
// scale x the light picture's width, pushed and dimmed with the button.
void DrawToggleLight(const MSButton& button, bool on, float scale);
// Moves a Sound or Music button right by the gap where its light stands;
// its hit rectangle keeps its left edge, so a click on the light counts.
void MakeRoomForLight(MSButton* button);
// The Sound and Music switches of the menu and the pause box. The click is
// played after the toggle, so it is heard only when sound was switched on.
void ToggleSoundSwitch(Rect* bounds);
void ToggleMusicSwitch(Music* music);
// Opens a name-entry panel for each player whose last score took a row of
// the table, offering the name that player last entered.
void EnterScoreName();

// One piece of text of the rendered score table.
struct ScoreText {
  std::string text;
  float x, y;  // start, end or centre (by align) and baseline, in canvas pixels
  float size;
  char align;  // 0 left, 2 right
  float red, green, blue, alpha;
};
// The texts of the table drawn into a canvas `right` pixels wide: for each
// row with a score, name, score and level; rows at highlightA or highlightB
// (-1 for none) twice, a dark shadow first.
// With `measure` (a text's width in canvas pixels at a size), a name too
// long for the room left of its score is cut and ends in "...".
std::vector<ScoreText> ScoreTableTexts(PlistTag* scoresArray, SInt16 rows, SInt16 highlightA, SInt16 highlightB,
                                       SInt16 right, int (*measure)(const char* text, float size) = nullptr);
// The longest start of `text` that, followed by "...", is at most `room`
// wide; the text itself when it fits.
std::string FitText(const std::string& text, int room, float size, int (*measure)(const char* text, float size));
// The line under the title: the version, then our credit.
std::string VersionLine(const char* version);
