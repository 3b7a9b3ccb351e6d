// Movies for tests: while a FakeMovies lives, NewMovie makes fake movies
// that open with a chosen result, record what is asked of them and, on each
// Task after Start, fill their box in the destination with one colour.
#pragma once

#include <string>
#include <vector>

#include "platform/MoviePlayer.h"

struct FakeMovies {
  FakeMovies();
  ~FakeMovies();
  FakeMovies(const FakeMovies&) = delete;
  FakeMovies& operator=(const FakeMovies&) = delete;

  SInt16 openResult = 0;
  UInt32 colour = 0xFF3366CCu;
  // What the movies were asked, all of them together.
  std::vector<std::string> paths;
  Rect box{};
  std::vector<SInt16> volumes;
  int starts = 0, stops = 0, tasks = 0;
  int alive = 0;                  // made and not yet destroyed
  bool startedWithSound = false;  // it had a sound output when started

 private:
  MovieFactory previous_;
};
