#include "support/OggWriter.h"

#include <vorbis/vorbisenc.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

bool WritePages(FILE* file, ogg_stream_state* stream, bool flush) {
  ogg_page page;
  while (flush ? ogg_stream_flush(stream, &page) : ogg_stream_pageout(stream, &page)) {
    if (std::fwrite(page.header, 1, size_t(page.header_len), file) != size_t(page.header_len)) return false;
    if (std::fwrite(page.body, 1, size_t(page.body_len), file) != size_t(page.body_len)) return false;
  }
  return true;
}

}  // namespace

bool WriteOggFile(const std::string& path, const std::vector<int16_t>& interleaved, int channels, long rate) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  vorbis_info info;
  vorbis_info_init(&info);
  bool ok = vorbis_encode_init_vbr(&info, channels, rate, 0.9f) == 0;
  vorbis_comment comment;
  vorbis_comment_init(&comment);
  vorbis_dsp_state dsp;
  vorbis_block block;
  ogg_stream_state stream;
  if (ok) {
    vorbis_analysis_init(&dsp, &info);
    vorbis_block_init(&dsp, &block);
    ogg_stream_init(&stream, 1);
    ogg_packet header, headerComment, headerCode;
    vorbis_analysis_headerout(&dsp, &comment, &header, &headerComment, &headerCode);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &headerComment);
    ogg_stream_packetin(&stream, &headerCode);
    ok = WritePages(file, &stream, true);

    long frames = long(interleaved.size()) / channels;
    const long chunk = 1024;
    // The last pass tells the encoder the stream has ended.
    for (long at = 0; ok && at <= frames; at += chunk) {
      long n = std::min(chunk, frames - at);
      if (n > 0) {
        float** buffer = vorbis_analysis_buffer(&dsp, int(n));
        for (long i = 0; i < n; i++)
          for (int c = 0; c < channels; c++)
            buffer[c][i] = float(interleaved[size_t((at + i) * channels + c)]) / 32768.0f;
        vorbis_analysis_wrote(&dsp, int(n));
      }
      if (at + chunk > frames) vorbis_analysis_wrote(&dsp, 0);
      while (vorbis_analysis_blockout(&dsp, &block) == 1) {
        vorbis_analysis(&block, nullptr);
        vorbis_bitrate_addblock(&block);
        ogg_packet packet;
        while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
          ogg_stream_packetin(&stream, &packet);
          ok = ok && WritePages(file, &stream, false);
        }
      }
    }
    ok = ok && WritePages(file, &stream, true);
    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
  }
  vorbis_comment_clear(&comment);
  vorbis_info_clear(&info);
  return std::fclose(file) == 0 && ok;
}

std::vector<int16_t> SineTone(long frames, int channels, long rate, double hertz, double amplitude) {
  std::vector<int16_t> out(size_t(frames * channels));
  for (long i = 0; i < frames; i++) {
    auto v = int16_t(std::lround(amplitude * std::sin(2 * M_PI * hertz * double(i) / double(rate))));
    for (int c = 0; c < channels; c++) out[size_t(i * channels + c)] = v;
  }
  return out;
}
