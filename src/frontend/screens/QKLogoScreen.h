// The first screen of every run: the maker's logo movie, played into the
// build buffer and faded in and out. It leaves by itself after 140 animation
// ticks (7 seconds), or sooner, with a faster fade, at a new key or a click;
// once dark it opens the title screen. Without a playable movie it runs the
// same course over a dark picture.
#pragma once

#include <memory>

#include "frontend/screens/ScreenGL.h"
#include "platform/MoviePlayer.h"

class QKLogoScreen final : public ScreenGL {
 public:
  UInt8 state;       // 1 while showing (fading in), 255 once leaving
  SInt16 countdown;  // animation ticks left before it leaves by itself
  UInt8 fast;        // cut short: the faster fade-out

  QKLogoScreen() { Reset(); }
  void Reset();
  void Open();
  void Process() override;
  void Draw() override;
  const char* TraceName() const override { return "logo"; }
  bool TakesInput() const override { return state != 255; }
};

extern QKLogoScreen qklogoSCREEN;
// The logo movie while the logo screen shows (null without one).
extern std::unique_ptr<Movie> theMovie;

// Opens the logo movie and starts it into the build buffer: the buffer is
// cleared to dark and the picture goes into the 640 by 360 box centred in
// the game picture, at the sound volume (silent when sound is off). Nothing
// is touched when the movie cannot be opened.
void QKMovieController();
// Opens the movie `name` (below the Resources folder) into *movie: 0, or
// kMovieFileMissing / kMovieFileDamaged (then *movie is null).
SInt16 LoadMovieFile(std::unique_ptr<Movie>* movie, const char* name);
