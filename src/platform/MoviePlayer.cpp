#include "platform/MoviePlayer.h"

namespace {
MovieFactory movieFactory = nullptr;
}

std::unique_ptr<Movie> NewMovie(MovieSoundOutput* sound) {
  return movieFactory ? movieFactory(sound) : NewFFmpegMovie(sound);
}

MovieFactory SetMovieFactory(MovieFactory factory) {
  MovieFactory previous = movieFactory;
  movieFactory = factory;
  return previous;
}
