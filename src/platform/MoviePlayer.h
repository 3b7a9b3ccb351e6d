// Movie playback: the picture of a movie file decoded, frame by frame as it
// falls due, into a 32-bit pixel map at a box, and its sound handed to a
// sound output that the caller gives (the platform layer has no audio of
// its own; the sound subsystem provides one). The program's movies are
// decoded by FFmpeg (ffmpeg/FFmpegMovie.cpp), whose libraries are loaded
// when a movie opens and unloaded when the last open movie closes; tests
// install a fake through SetMovieFactory.
#pragma once

#include <memory>

#include "platform/QuickDraw.h"

enum : SInt16 {
  kMovieFileMissing = -1,  // no file, or one that cannot be read
  kMovieFileDamaged = -2,  // a file that holds no picture that can be decoded
                           // (also when the decoder's libraries cannot be loaded)
};

class MovieSoundOutput {
 public:
  virtual ~MovieSoundOutput() = default;
  // Plays the whole sound track from its start: interleaved 16-bit samples,
  // `channels` to a frame, at `rate` hertz. The samples stay valid until Stop.
  virtual void Start(const SInt16* samples, SInt32 frames, SInt16 channels, UInt32 rate) = 0;
  // 0 (silent) to 256 (the track as recorded).
  virtual void SetVolume(SInt16 volume) = 0;
  virtual void Stop() = 0;
};

class Movie {
 public:
  virtual ~Movie() = default;
  // 0 when the file plays, else kMovieFileMissing or kMovieFileDamaged.
  virtual SInt16 Open(const char* path) = 0;
  // Where the picture goes in the pixel maps that Task draws into; the
  // picture is scaled to fill it.
  virtual void SetBox(const Rect& box) = 0;
  // Starts the clock (the platform's microsecond counter) and the sound.
  virtual void Start() = 0;
  // Draws the frame due now into `destination` (32 bits a pixel), clipped to
  // its bounds; true when a new frame was drawn. Before Start, after Stop
  // and after the last frame it draws nothing.
  virtual bool Task(PixMap* destination) = 0;
  // 0 to 256, as MovieSoundOutput takes it.
  virtual void SetVolume(SInt16 volume) = 0;
  virtual SInt16 Volume() const = 0;
  virtual void Stop() = 0;
  // Every frame has been drawn.
  virtual bool Done() const = 0;
};

// A new movie; its sound goes to `sound` (null: silent), which must outlive it.
std::unique_ptr<Movie> NewMovie(MovieSoundOutput* sound);
std::unique_ptr<Movie> NewFFmpegMovie(MovieSoundOutput* sound);

typedef std::unique_ptr<Movie> (*MovieFactory)(MovieSoundOutput* sound);
// Installs what NewMovie makes; null restores FFmpeg. Returns the previous one.
MovieFactory SetMovieFactory(MovieFactory factory);

// Where the FFmpeg movie loads its libraries, each library file name and
// function name it looks up goes through the filter, and the name returned
// is looked up instead (tests name one that does not exist, to see a missing
// library or function). Null restores the names as they are. Returns the
// previous filter.
typedef const char* (*MovieLibraryNameFilter)(const char* name);
MovieLibraryNameFilter SetMovieLibraryNameFilter(MovieLibraryNameFilter filter);
