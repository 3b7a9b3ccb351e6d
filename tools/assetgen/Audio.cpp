// Ogg Vorbis output for the effects and the music.
#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cstdio>
#include <stdexcept>

#include "AssetGen.h"

namespace assetgen {

static void WritePages(FILE* f, ogg_stream_state* os, bool flush) {
  ogg_page page;
  while (flush ? ogg_stream_flush(os, &page) : ogg_stream_pageout(os, &page)) {
    std::fwrite(page.header, 1, page.header_len, f);
    std::fwrite(page.body, 1, page.body_len, f);
  }
}

void WriteOgg(const std::string& relative, const std::vector<float>& samples, int channels, int rate, float quality) {
  std::string path = OutPath(relative);
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) throw std::runtime_error("cannot create " + path);
  vorbis_info vi;
  vorbis_info_init(&vi);
  if (vorbis_encode_init_vbr(&vi, channels, rate, quality)) {
    std::fclose(f);
    throw std::runtime_error("vorbis encoder refused the format for " + path);
  }
  vorbis_comment vc;
  vorbis_comment_init(&vc);
  vorbis_comment_add_tag(&vc, "ENCODER", "Halvane assetgen");
  vorbis_dsp_state vd;
  vorbis_block vb;
  vorbis_analysis_init(&vd, &vi);
  vorbis_block_init(&vd, &vb);
  ogg_stream_state os;
  ogg_stream_init(&os, 0x48414C56);  // fixed serial number keeps the bytes stable
  ogg_packet header, comments, codebooks;
  vorbis_analysis_headerout(&vd, &vc, &header, &comments, &codebooks);
  ogg_stream_packetin(&os, &header);
  ogg_stream_packetin(&os, &comments);
  ogg_stream_packetin(&os, &codebooks);
  WritePages(f, &os, true);

  const size_t frames = samples.size() / channels;
  const size_t chunk = 4096;
  for (size_t at = 0;; at += chunk) {
    size_t n = std::min(chunk, frames - std::min(frames, at));
    if (n) {
      float** buf = vorbis_analysis_buffer(&vd, int(n));
      for (size_t i = 0; i < n; ++i)
        for (int c = 0; c < channels; ++c) buf[c][i] = std::clamp(samples[(at + i) * channels + c], -1.0f, 1.0f);
    }
    vorbis_analysis_wrote(&vd, int(n));
    ogg_packet op;
    while (vorbis_analysis_blockout(&vd, &vb) == 1) {
      vorbis_analysis(&vb, nullptr);
      vorbis_bitrate_addblock(&vb);
      while (vorbis_bitrate_flushpacket(&vd, &op)) {
        ogg_stream_packetin(&os, &op);
        WritePages(f, &os, false);
      }
    }
    if (!n) break;
  }
  WritePages(f, &os, true);
  ogg_stream_clear(&os);
  vorbis_block_clear(&vb);
  vorbis_dsp_clear(&vd);
  vorbis_comment_clear(&vc);
  vorbis_info_clear(&vi);
  if (std::fclose(f) != 0) throw std::runtime_error("cannot write " + path);
}

}  // namespace assetgen
