// A message dialog of the program stays up while music plays: the music's
// stream must go on being fed, as the event loop's timers keep running.
#include <SDL.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "foundation/MainTimer.h"
#include "foundation/Timer.h"
#include "graphics/RenderedDialogs.h"
#include "shell/ErrorAlertDialogs.h"
#include "shell/StandardDialog.h"
#include "sound/CompressedSound.h"
#include "sound/OpenALTable.h"
#include "sound/SoundChannels.h"
#include "sound/SoundServices.h"
#include "support/DisplayCheck.h"
#include "support/OggWriter.h"
#include "support/TempFolder.h"

namespace {

// Ends the process when a dialog blocks the test instead of letting it run:
// no test may wait on a real modal dialog.
class Watchdog {
 public:
  explicit Watchdog(int seconds)
      : thread_([this, seconds] {
          for (int i = 0; i < seconds * 10 && !done_; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(100));
          if (!done_) {
            std::fprintf(stderr, "the dialog blocked the program\n");
            std::abort();
          }
        }) {}
  ~Watchdog() {
    done_ = true;
    thread_.join();
  }

 private:
  std::atomic<bool> done_{false};
  std::thread thread_;
};

TEST(DialogMusic, AMessageDialogUpForTwoSecondsDoesNotStarveTheMusic) {
  if (!DisplayNamed() || SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    ReportNoDisplay(std::string("no display: ") + SDL_GetError());
    return;
  }
  // Channels of an earlier test belong to a device that is closed.
  soundInited = 0;
  firstChan = nullptr;
  InitAudio();
  ASSERT_NE(myALContext, nullptr);
  InstallSoundServices();
  TempFolder folder;
  std::string path = folder / "tone.ogg";
  // 44.1 kHz stereo: the engine's buffers hold well under two seconds of it.
  ASSERT_TRUE(WriteOggFile(path, SineTone(44100, 2, 44100, 441, 12000), 2, 44100));
  Music music;
  ASSERT_EQ(LoadMusicFile(&music, path.c_str()), 0);
  music.loop = 1;
  PlayMusic(&music, 1);
  Timer mainTimer(MainTimer, 30, nullptr);
  auto start = std::chrono::steady_clock::now();
  while (std::chrono::steady_clock::now() - start < std::chrono::milliseconds(300)) {
    ServiceTimers();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  ALuint source = music.channel.channel->al->source;
  ALint state = 0;
  openAL->alGetSourcei(source, AL_SOURCE_STATE, &state);
  ASSERT_EQ(state, AL_PLAYING);

  // The program's own presenter, as the user's would be (the test runner
  // asks for standard error).
  const char* asked = std::getenv("HALVANE_DIALOGS");
  std::string kept = asked ? asked : "";
  unsetenv("HALVANE_DIALOGS");
  RenderedDialogPresenter& rendered = InstallRenderedDialogs();
  std::vector<ALint> states, pending;
  double upFor = 0;
  auto shown = std::chrono::steady_clock::now();
  rendered.afterDraw = [&](WindowPtr surface, WindowRef) {
    ALint s = 0, queued = 0, processed = 0;
    openAL->alGetSourcei(source, AL_SOURCE_STATE, &s);
    openAL->alGetSourcei(source, AL_BUFFERS_QUEUED, &queued);
    openAL->alGetSourcei(source, AL_BUFFERS_PROCESSED, &processed);
    states.push_back(s);
    pending.push_back(queued - processed);
    upFor = std::chrono::duration<double>(std::chrono::steady_clock::now() - shown).count();
    if (upFor >= 2.0) {
      SDL_Event e{};
      e.type = SDL_KEYDOWN;
      e.key.windowID = SDL_GetWindowID(reinterpret_cast<SDL_Window*>(surface->platform));
      e.key.keysym.sym = SDLK_RETURN;
      SDL_PushEvent(&e);
    }
  };
  {
    Watchdog watchdog(20);
    ShowAlertDialog(reinterpret_cast<const unsigned char*>("\024The music goes on."),
                    reinterpret_cast<const unsigned char*>(""), "OK");
  }
  rendered.afterDraw = nullptr;
  SetDialogPresenter(nullptr);
  if (asked) setenv("HALVANE_DIALOGS", kept.c_str(), 1);

  EXPECT_GE(upFor, 2.0);
  ASSERT_GT(states.size(), 20u);  // drawn all along, not blocked
  // The source never ran dry: it kept playing with buffers waiting.
  long dry = -1;
  for (size_t i = 0; i < states.size() && dry < 0; ++i)
    if (states[i] != AL_PLAYING || pending[i] <= 0) dry = long(i);
  EXPECT_EQ(dry, -1) << "ran dry at drawing " << dry << " of " << states.size();
  StopMusic(&music);
}

}  // namespace
