#include "frontend/screens/QKLogoScreen.h"

#include "foundation/Colors.h"
#include "foundation/Paths.h"
#include "frontend/Resources.h"
#include "frontend/screens/TitleScreen.h"
#include "game/GameObjects.h"
#include "graphics/GameWindow.h"
#include "graphics/OffscreenCopy.h"
#include "graphics/OpenGLContext.h"
#include "graphics/OpenGLFrame.h"
#include "shell/ApplInfo.h"
#include "shell/Events.h"
#include "sound/AudioPrefs.h"
#include "sound/MovieSound.h"

namespace {
// Made before theMovie, so that a movie still playing at exit goes first.
MovieSoundChannel movieSOUND;
}  // namespace

QKLogoScreen qklogoSCREEN;
std::unique_ptr<Movie> theMovie;

namespace {
// Scratch sizes of the movie box.
SInt16 rectW, rectH;

void ClearBuildBuffer() {
  if (!build32PMAP || !(*build32PMAP)->baseAddr) return;
  PixMap& pm = **build32PMAP;
  const SInt32 rowBytes = GetPixRowBytes(build32PMAP);
  const SInt32 width = pm.bounds.right - pm.bounds.left, height = pm.bounds.bottom - pm.bounds.top;
  for (SInt32 y = 0; y < height; ++y) {
    auto* row = reinterpret_cast<UInt32*>(pm.baseAddr + y * rowBytes);
    for (SInt32 x = 0; x < width; ++x) row[x] = 0xFF000000u;
  }
}
}  // namespace

SInt16 LoadMovieFile(std::unique_ptr<Movie>* movie, const char* name) {
  std::string path = GetResourcesPath() + PathStr() + name;
  std::unique_ptr<Movie> opened = NewMovie(&movieSOUND);
  SInt16 result = opened->Open(path.c_str());
  *movie = result == 0 ? std::move(opened) : nullptr;
  return result;
}

void QKMovieController() {
  if (LoadMovieFile(&theMovie, "ZadOR/QKLogo640.mov") != 0) return;
  ClearBuildBuffer();
  rectW = 640;
  rectH = 360;
  Rect box;
  SetRect2(&box, 320 - rectW / 2, 240 - rectH / 2, rectW, rectH);
  theMovie->SetBox(box);
  theMovie->SetVolume(audioPREFS.soundOn ? audioPREFS.soundVolume : 0);
  theMovie->Start();
}

void QKLogoScreen::Reset() {
  state = 1;
  countdown = 0;
  fast = 0;
}

void QKLogoScreen::Open() {
  QKMovieController();
  MinBright_GL();
  ScreenGL::Open(1);
  countdown = 140;
  EnableAllEvents();
}

void QKLogoScreen::Process() {
  UserInput input{};
  GetUserInput(&input);
  if (theMovie && build32PMAP) theMovie->Task(*build32PMAP);
  if (animateDELAY == 0.0f && --countdown == 0) state = 255;
  if (state == 255 && Brightness_GL() == 0) {
    if (theMovie) theMovie->Stop();
    theMovie.reset();
    ScreenGL::Close();
    titleSCREEN.Open();
    return;
  }
  if (theEVENT.what == keyDown || input.down) {
    state = 255;
    fast = 1;
  }
  if (state == 1) {
    if (Brightness_GL() < 255) Brighter_GL(2);
  } else {
    Darker_GL(fast ? 5 : 2);
    if (audioPREFS.soundOn && theMovie) theMovie->SetVolume(SInt16(audioPREFS.soundVolume * glFADER.Bright() / 255));
  }
}

// The movie is drawn into the build buffer; the frame shows the buffer.
void QKLogoScreen::Draw() {
  if (mainWIND) CopyGWorldToWindowGL(build32WORLD, mainWIND, static_cast<OpenGLContext*>(GetWRefCon(mainWIND)));
}
