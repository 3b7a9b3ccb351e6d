#include "support/OggDecoder.h"

#include <vorbis/vorbisfile.h>

DecodedOgg DecodeOggFile(const std::string& path) {
  DecodedOgg out;
  OggVorbis_File vf;
  if (ov_fopen(path.c_str(), &vf) != 0) return out;
  vorbis_info* vi = ov_info(&vf, -1);
  out.channels = vi->channels;
  out.rate = vi->rate;
  char buf[8192];
  int section = 0;
  for (long n; (n = ov_read(&vf, buf, sizeof buf, 0, 2, 1, &section)) > 0;) {
    const short* s = reinterpret_cast<const short*>(buf);
    out.samples.insert(out.samples.end(), s, s + n / 2);
  }
  ov_clear(&vf);
  return out;
}
