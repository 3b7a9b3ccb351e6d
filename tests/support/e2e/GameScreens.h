// What the game shows while it is played, and the question the program asks
// before ending a game in progress: a panel over the darkened game, which
// Return answers with "quit" and Escape with "go on playing".
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "support/e2e/Desktop.h"
#include "support/e2e/Process.h"
#include "support/e2e/Program.h"
#include "support/e2e/ScreenImage.h"

namespace e2e {

// How many opaque points of a grid over a full-window picture show
// otherwise than the picture has them; the same for the title and the
// menu's pictures of the bundle.
int Differs(const ScreenImage& shown, const ScreenImage& picture);
int TitleDiffers(const ScreenImage& shown);
int MainDiffers(const ScreenImage& shown);

// The pause box (340 x 180, shown at its size, its top left at 150, 150 of
// the picture): opaque pixels of its picture in patches of one colour, clear
// of the buttons and the volume lamps drawn over it; and how many of those
// show in place.
std::vector<std::pair<int, int>> PauseBoxSamples();
int PauseBoxMatches(const ScreenImage& shown);

// Starts the program and brings it, in its 640 x 480 window, past the logo
// and the title (Return) to the menu, each screen taking input before the
// key that leaves it. "" when the menu shows and takes clicks, else what
// went wrong and the program's diagnostics.
std::string OpenToTheMenu(Program& program);

// Places in the 640 x 480 game picture. The menu's Play button: 52 in, 110
// down, 3/4 of its 160 x 40 picture. The pause box (340 x 180) is centred,
// its buttons 40 in and 18 down, 36 apart, at 3/4 of their pictures.
inline constexpr int kPlayX = 52 + 60, kPlayY = 110 + 15;
inline constexpr int kBoxLeft = 150, kBoxTop = 150;
inline constexpr int kResumeX = kBoxLeft + 40 + 60, kResumeY = kBoxTop + 18 + 15;

// The game in play at full brightness: nearly all of the plain patches of
// its background picture show in place (the main screen, which shares a
// few, and the fades in and out do not).
bool GamePlaying(const ScreenImage& shown);

// Once the menu takes clicks, clicks Play once and waits until the game
// plays at full brightness; the last grab.
ScreenImage PlayFromTheMenu(Program& program);

// Presses and releases fire (space) `times` times, each held long enough
// for a step of a busy program to see; each press in play must be taken
// (Program::HoldKeysInPlay). False when one was not.
bool TapFire(Program& program, int times);

// Plays as a person who wants a score: fire tapped (each press one shot,
// each taken as TapFire requires) while the ship sways, until `scored` accepts the picture. A ship lost
// before it hit anything ends the game with no score: once `menuBack` sees
// the menu again, a new game is started and joined (three games at most).
// "" once scored, else what went wrong.
std::string PlayUntilScored(Program& program, const std::function<bool(const ScreenImage&)>& scored,
                            const std::function<bool(const ScreenImage&)>& menuBack);

// How many of the panel picture's plain patches show in place, and how many
// there are to find.
int QuitPanelMatches(const ScreenImage& shown);
int QuitPanelSamples();
// Nearly all of the panel shows.
bool QuitQuestionShown(const ScreenImage& shown);
// The name panel asks: most of its plain patches (the name field and the OK
// button cover some that the quit question leaves clear).
bool PanelAsks(const ScreenImage& shown);
// Bright orange pixels of a player's score in the status bar (player 1's on
// the left, player 2's on the right, left of the yellow status cells): a
// score of 0 is one faint digit, 10 or more at least two bright ones.
int ScoreDigits(const ScreenImage& shown, int player = 0);

// The engine's menu bar, in window pixels from the content's top left.
constexpr int kBarHeight = 22, kMenuTop = kBarHeight + 4, kItemHeight = 20;
inline constexpr Rgba kBarColour{237, 237, 240};
// The bar lies across the window's top.
bool BarShows(const ScreenImage& content);
// The titles' ink along the bar, as [first, last] columns: letters lie a few
// pixels apart, titles twenty; the window's edge columns are left out.
std::vector<std::pair<int, int>> Titles(const ScreenImage& content);
// A pulled-down menu: its near-white fill under the title at column x.
bool MenuDown(const ScreenImage& content, int x);

// Presses the key once (the program must take it), then waits for the
// program to end, which a loaded machine makes slow. The exit, or nothing
// when the press was not taken or the program did not end.
std::optional<ExitStatus> PressUntilItEnds(Program& program, const std::string& key,
                                           const std::vector<std::string>& modifiers = {});
// Ctrl+Q, as PressUntilItEnds presses it.
std::optional<ExitStatus> QuitWithCtrlQ(Program& program);

// Ends the program from a game in progress as a person does: Ctrl+Q, then,
// once the question shows and takes keys, Return. The exit, or nothing when
// a press was not taken, the question did not show or the program did not
// end.
std::optional<ExitStatus> QuitGameInProgress(Program& program);

}  // namespace e2e
