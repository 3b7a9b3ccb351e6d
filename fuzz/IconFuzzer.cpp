// Icon files, the input being the file, read the ways the program reads
// them from its bundle: a preference panel's icon ("QK Resources/Audio.icns")
// registered by LoadIconFile, the application's icon ("Icons/Halvane-64.png")
// by LoadBundleIcon, and the windows' icon ("Icons/Halvane-128.png") decoded
// by ShowApplicationIcon and handed to a window of SDL's dummy video driver.
// Whatever the file: an icon is registered exactly when the file starts with
// the PNG signature, and keeps its path, creator and type; the window's icon
// is shown only as a picture of the size the file's header claims (at most
// kMaxPNGSide a side), four bytes a pixel, every byte of it readable, and a
// file refused reaches the window system not at all (and leaves nothing
// allocated). SDL_SetWindowIcon is stood in for here to see what the window
// system is handed; it passes the icon on to SDL's own.
#include <SDL.h>
#include <dlfcn.h>
#include <sys/stat.h>

#include <cstring>
#include <string>

#include "FuzzSupport.h"
#include "foundation/Paths.h"
#include "graphics/AppIcon.h"
#include "graphics/PNGFile.h"
#include "graphics/Pictures.h"
#include "platform/SDLEventPlatform.h"
#include "shell/ApplInfo.h"
#include "shell/ControlUtilities.h"

namespace {

struct HandedIcon {
  int calls = 0;
  int width = 0, height = 0, pitch = 0;
  Uint32 format = 0;
  unsigned sum = 0;
};
HandedIcon handed;

const std::string& Resources() {
  static const std::string path = FuzzMakeBundle("Icon.app", {"QK Resources", "Icons"});
  return path;
}

// A window of SDL's dummy video driver, whatever driver the environment names.
WindowRef Window() {
  static WindowRecord record = [] {
    SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, "dummy", SDL_HINT_OVERRIDE);
    FUZZ_CHECK(SDL_Init(SDL_INIT_VIDEO) == 0);
    SDL_Window* window = SDL_CreateWindow("icon", 0, 0, 64, 64, SDL_WINDOW_HIDDEN);
    FUZZ_CHECK(window);
    WindowRecord r{};
    r.platform = PlatformWindowOfSDL(window);
    return r;
  }();
  return &record;
}

UInt32 Big(const uint8_t* p) { return UInt32(p[0]) << 24 | UInt32(p[1]) << 16 | UInt32(p[2]) << 8 | p[3]; }

constexpr UInt32 kIcns = FOUR_CHAR('i', 'c', 'n', 's'), kAppl = FOUR_CHAR('A', 'P', 'P', 'L');

// Registered from the file the program would read: by the PNG signature alone.
void CheckRegistered(OSErr err, IconRef icon, bool signature, const char* name, UInt32 creator, UInt32 type) {
  if (!signature) {
    FUZZ_CHECK(err == -1 && !icon);
    return;
  }
  FUZZ_CHECK(err == noErr && icon);
  FUZZ_CHECK(icon->path == Resources() + "/" + name && icon->creator == creator && icon->type == type);
  ReleaseIconRef(icon);
}

}  // namespace

// What WindowIcon.cpp hands the window system: every byte of the picture is
// read here, so that a block shorter than its sizes shows.
extern "C" void SDL_SetWindowIcon(SDL_Window* window, SDL_Surface* icon) {
  handed.calls++;
  FUZZ_CHECK(icon && icon->pixels);
  handed.width = icon->w;
  handed.height = icon->h;
  handed.pitch = icon->pitch;
  handed.format = icon->format->format;
  const auto* bytes = static_cast<const uint8_t*>(icon->pixels);
  for (size_t i = 0; i < size_t(icon->pitch) * size_t(icon->h); ++i) handed.sum += bytes[i];
  using Real = void (*)(SDL_Window*, SDL_Surface*);
  static const Real real = reinterpret_cast<Real>(dlsym(RTLD_NEXT, "SDL_SetWindowIcon"));
  FUZZ_CHECK(real);
  real(window, icon);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzSetUp();
  if (size > (1 << 20)) return 0;
  const std::string& resources = Resources();
  WindowRef window = Window();
  APPL.creator = FOUR_CHAR('Q', 'K', 'h', 'v');
  const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  const bool signature = size >= 8 && std::memcmp(data, kSignature, 8) == 0;

  FuzzWriteFile(resources + "/" + kAudioIconFile, data, size);
  IconRef panel = nullptr;
  const OSErr panelErr = LoadIconFile(&panel, kAudioIconFile, 0, kIcns, nullptr);
  CheckRegistered(panelErr, panel, signature, kAudioIconFile, 0, kIcns);

  FuzzWriteFile(resources + "/" + kApplicationIconFile, data, size);
  IconRef application = nullptr;
  const OSErr applicationErr = LoadBundleIcon(kApplicationIconFile, kAppl, &application);
  CheckRegistered(applicationErr, application, signature, kApplicationIconFile, APPL.creator, kAppl);

  FuzzWriteFile(resources + "/Icons/Halvane-" + std::to_string(kWindowIconSize) + ".png", data, size);
  handed = HandedIcon();
  const bool shown = ShowApplicationIcon(window);
  FUZZ_CHECK(handed.calls == (shown ? 1 : 0));
  if (!shown) return 0;
  // Only a file with a header can be shown, and at the size it claims.
  FUZZ_CHECK(signature && size >= 24 && std::memcmp(data + 12, "IHDR", 4) == 0);
  const UInt32 width = Big(data + 16), height = Big(data + 20);
  FUZZ_CHECK(width >= 1 && height >= 1 && width <= kMaxPNGSide && height <= kMaxPNGSide);
  FUZZ_CHECK(UInt32(handed.width) == width && UInt32(handed.height) == height);
  FUZZ_CHECK(handed.pitch == 4 * handed.width && handed.format == SDL_PIXELFORMAT_RGBA32);
  return 0;
}
