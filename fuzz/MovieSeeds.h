// The movie harness's seeds, from the bundle's logo movie: the movie whole,
// two small copies encoded again (a few frames of a tiny picture, with mono
// and with stereo sound of 8-bit samples), and its first frames copied as
// they are (with their sound, index after the data and before it, and
// without sound). Writes <folder>/seed-<n>; answers how many, or -1.
#pragma once

#include <string>

int MovieSeeds(const std::string& logo, const std::string& folder);
