#include "platform/ffmpeg/FFmpegLibraries.h"

#include <mutex>
#include <string>

#include "platform/MoviePlayer.h"
#include "platform/SharedLibrary.h"

namespace {

// The libraries of the major versions the headers describe, each loaded
// after those it needs.
enum Library { avutil, swresample, swscale, avcodec, avformat, kLibraries };
const char* const kFiles[kLibraries] = {
    "libavutil.so." AV_STRINGIFY(LIBAVUTIL_VERSION_MAJOR),
    "libswresample.so." AV_STRINGIFY(LIBSWRESAMPLE_VERSION_MAJOR),
    "libswscale.so." AV_STRINGIFY(LIBSWSCALE_VERSION_MAJOR),
    "libavcodec.so." AV_STRINGIFY(LIBAVCODEC_VERSION_MAJOR),
    "libavformat.so." AV_STRINGIFY(LIBAVFORMAT_VERSION_MAJOR),
};

std::mutex guard;
int holds = 0;
void* loaded[kLibraries] = {};
FFmpegFunctions functions;
MovieLibraryNameFilter nameFilter = nullptr;

const char* Named(const char* name) { return nameFilter ? nameFilter(name) : name; }

void Unload() {
  functions = FFmpegFunctions{};
  for (int i = kLibraries - 1; i >= 0; --i) {
    CloseSharedLibrary(loaded[i]);
    loaded[i] = nullptr;
  }
}

bool Load() {
  for (int i = 0; i < kLibraries; ++i)
    if (!(loaded[i] = OpenSharedLibrary(Named(kFiles[i])))) return false;
  bool found = true;
#define HALVANE_FFMPEG_FIND(library, name)                                                                         \
  functions.name = reinterpret_cast<decltype(functions.name)>(FindInSharedLibrary(loaded[library], Named(#name))); \
  found = found && functions.name;
  HALVANE_FFMPEG_FUNCTIONS(HALVANE_FFMPEG_FIND)
#undef HALVANE_FFMPEG_FIND
  return found;
}

}  // namespace

const FFmpegFunctions* HoldFFmpeg() {
  std::lock_guard<std::mutex> lock(guard);
  if (holds == 0) {
    if (!Load()) {
      Unload();
      return nullptr;
    }
    // A damaged file is reported by Open's result; the decoders' own
    // messages would only repeat it on standard error.
    functions.av_log_set_level(AV_LOG_QUIET);
  }
  ++holds;
  return &functions;
}

void ReleaseFFmpeg() {
  std::lock_guard<std::mutex> lock(guard);
  if (holds > 0 && --holds == 0) Unload();
}

MovieLibraryNameFilter SetMovieLibraryNameFilter(MovieLibraryNameFilter filter) {
  std::lock_guard<std::mutex> lock(guard);
  MovieLibraryNameFilter previous = nameFilter;
  nameFilter = filter;
  return previous;
}
