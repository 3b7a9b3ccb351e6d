// The logo movie "ZadOR/QKLogo640.mov": five seconds of our animated logo
// with a rising chime, ending on the lit logo, 640 x 360 at 30 frames a
// second, MPEG-4 video and 16-bit PCM sound in a QuickTime file. Bit-exact
// flags keep out encoder version strings and creation times, so the bytes
// are the same on every run.
#include "AssetGen.h"
#include "Synth.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include <cmath>
#include <stdexcept>

namespace assetgen {

namespace {

const int kW = 640, kH = 360, kFps = 30, kFrames = 150;
const int kAudioRate = 44100;

double Ease(double t) { return t <= 0 ? 0 : t >= 1 ? 1 : t * t * (3 - 2 * t); }

void DrawLogoFrame(cairo_t* cr, int frame) {
  double t = double(frame) / kFps;
  cairo_set_source_rgb(cr, 0.0, 0.0, 0.02);
  cairo_paint(cr);
  Starfield(cr, kW, kH, 404, 120);
  const Rgb cyan{0.0, 1.0, 0.85}, violet{0.55, 0.35, 1.0};
  double ring = Ease((t - 0.2) / 1.3);
  double cx = kW / 2.0, cy = kH / 2.0 - 20;
  Glow(cr, cx, cy, 60 + 140 * ring, violet, 0.35 * ring);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  for (int k = 0; k < 3; ++k) {
    double start = -M_PI / 2 + k * 2 * M_PI / 3 + t * 0.8;
    cairo_new_sub_path(cr);
    cairo_arc(cr, cx, cy, 88 + 6 * k, start, start + ring * 1.9);
    cairo_set_line_width(cr, 4 - k);
    SetRgb(cr, Mix(cyan, violet, k / 2.0), 0.9);
    cairo_stroke(cr);
  }
  double word = Ease((t - 1.2) / 1.0);
  if (word > 0) {
    cairo_push_group(cr);
    TextStyle st{64, {0.95, 1.0, 1.0}, {0.0, 0.6, 0.95}, {0.0, 1.0, 1.0}, 0.6, 3};
    DrawTitleText(cr, Face::Rounded, "HALVANE", cx, cy, st);
    cairo_pattern_t* text = cairo_pop_group(cr);
    cairo_set_source(cr, text);
    cairo_paint_with_alpha(cr, word);
    // a light sweeping across the word, masked by it
    double sweep = (t - 1.6) / 1.2;
    if (sweep > 0 && sweep < 1) {
      double x = -100 + sweep * (kW + 200);
      cairo_pattern_t* p = cairo_pattern_create_linear(x - 60, 0, x + 60, 0);
      cairo_pattern_add_color_stop_rgba(p, 0, 1, 1, 1, 0);
      cairo_pattern_add_color_stop_rgba(p, 0.5, 1, 1, 1, 0.6);
      cairo_pattern_add_color_stop_rgba(p, 1, 1, 1, 1, 0);
      cairo_set_source(cr, p);
      cairo_mask(cr, text);
      cairo_pattern_destroy(p);
    }
    cairo_pattern_destroy(text);
  }
  double sub = Ease((t - 2.2) / 0.8);
  if (sub > 0) DrawPlainText(cr, Face::Engraved, 18, "ENTERTAINMENT", cx, cy + 128, 1, {0.8, 0.85, 1.0}, sub);
  // No fade at the end: the logo screen holds the last picture through its
  // countdown and fades it out itself.
}

std::vector<float> LogoSound() {
  using namespace synth;
  std::vector<float> s(size_t(5.0 * kAudioRate) * 2);
  Noise noise(99);
  Svf f;
  static const double chord[] = {57, 64, 69, 73, 76};
  for (size_t i = 0; i < s.size() / 2; ++i) {
    double t = double(i) / kAudioRate;
    double k = std::min(1.0, t / 1.4);
    f.Run(noise(), 200 + 3000 * k * k, 2);
    double whoosh = f.band * std::sin(M_PI * k) * 0.5;
    double chime = 0;
    for (int n = 0; n < 5; ++n) {
      double at = 1.2 + n * 0.08;
      if (t > at) chime += Sine(MidiHz(chord[n] + 12) * (t - at)) * Env(t - at, 0.004, 1.1) * 0.18;
    }
    double pad = Sine(MidiHz(45) * t) * Env(t - 1.2, 0.3, 1.8) * 0.25;
    double v = (whoosh + chime + pad) * std::min(1.0, (5.0 - t) * 2);
    s[i * 2] = float(v * (1.0 - 0.15 * std::sin(t * 3)));
    s[i * 2 + 1] = float(v * (1.0 + 0.15 * std::sin(t * 3)));
  }
  Normalise(s, 0.8);
  return s;
}

void Check(int result, const char* what) {
  if (result < 0) throw std::runtime_error(std::string("logo movie: ") + what + " failed");
}

struct Stream {
  AVStream* stream = nullptr;
  AVCodecContext* codec = nullptr;
};

Stream AddStream(AVFormatContext* fmt, AVCodecID id) {
  const AVCodec* codec = avcodec_find_encoder(id);
  if (!codec) throw std::runtime_error("logo movie: no encoder");
  Stream s;
  s.stream = avformat_new_stream(fmt, nullptr);
  s.codec = avcodec_alloc_context3(codec);
  s.codec->flags |= AV_CODEC_FLAG_BITEXACT;
  s.codec->thread_count = 1;
  if (fmt->oformat->flags & AVFMT_GLOBALHEADER) s.codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  return s;
}

void Drain(AVFormatContext* fmt, Stream& s, AVFrame* frame) {
  Check(avcodec_send_frame(s.codec, frame), "encoding");
  AVPacket* pkt = av_packet_alloc();
  while (avcodec_receive_packet(s.codec, pkt) == 0) {
    av_packet_rescale_ts(pkt, s.codec->time_base, s.stream->time_base);
    pkt->stream_index = s.stream->index;
    Check(av_interleaved_write_frame(fmt, pkt), "writing");
  }
  av_packet_free(&pkt);
}

void WriteMovie(const std::string& path) {
  AVFormatContext* fmt = nullptr;
  Check(avformat_alloc_output_context2(&fmt, nullptr, "mov", path.c_str()), "opening");
  fmt->flags |= AVFMT_FLAG_BITEXACT;

  Stream video = AddStream(fmt, AV_CODEC_ID_MPEG4);
  video.codec->width = kW;
  video.codec->height = kH;
  video.codec->pix_fmt = AV_PIX_FMT_YUV420P;
  video.codec->time_base = {1, kFps};
  video.codec->framerate = {kFps, 1};
  video.codec->gop_size = 30;
  video.codec->flags |= AV_CODEC_FLAG_QSCALE;
  video.codec->global_quality = FF_QP2LAMBDA * 3;
  video.stream->time_base = video.codec->time_base;
  Check(avcodec_open2(video.codec, nullptr, nullptr), "video encoder");
  Check(avcodec_parameters_from_context(video.stream->codecpar, video.codec), "video stream");

  Stream audio = AddStream(fmt, AV_CODEC_ID_PCM_S16LE);
  audio.codec->sample_fmt = AV_SAMPLE_FMT_S16;
  audio.codec->sample_rate = kAudioRate;
  av_channel_layout_default(&audio.codec->ch_layout, 2);
  audio.codec->time_base = {1, kAudioRate};
  audio.stream->time_base = audio.codec->time_base;
  Check(avcodec_open2(audio.codec, nullptr, nullptr), "audio encoder");
  Check(avcodec_parameters_from_context(audio.stream->codecpar, audio.codec), "audio stream");

  Check(avio_open(&fmt->pb, path.c_str(), AVIO_FLAG_WRITE), "creating the file");
  Check(avformat_write_header(fmt, nullptr), "header");

  AVFrame* picture = av_frame_alloc();
  picture->format = AV_PIX_FMT_YUV420P;
  picture->width = kW;
  picture->height = kH;
  Check(av_frame_get_buffer(picture, 0), "picture buffer");
  SwsContext* sws = sws_getContext(kW, kH, AV_PIX_FMT_BGRA, kW, kH, AV_PIX_FMT_YUV420P,
                                   SWS_BICUBIC | SWS_BITEXACT | SWS_ACCURATE_RND, nullptr, nullptr, nullptr);
  cairo_surface_t* surface = NewSurface(kW, kH);
  std::vector<float> sound = LogoSound();
  const int chunk = kAudioRate / kFps;
  AVFrame* samples = av_frame_alloc();
  for (int i = 0; i < kFrames; ++i) {
    cairo_t* cr = cairo_create(surface);
    DrawLogoFrame(cr, i);
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    const uint8_t* src[1] = {cairo_image_surface_get_data(surface)};
    int stride[1] = {cairo_image_surface_get_stride(surface)};
    Check(av_frame_make_writable(picture), "picture");
    sws_scale(sws, src, stride, 0, kH, picture->data, picture->linesize);
    picture->pts = i;
    Drain(fmt, video, picture);

    av_frame_unref(samples);
    samples->format = AV_SAMPLE_FMT_S16;
    samples->sample_rate = kAudioRate;
    av_channel_layout_default(&samples->ch_layout, 2);
    samples->nb_samples = chunk;
    Check(av_frame_get_buffer(samples, 0), "sound buffer");
    int16_t* out = reinterpret_cast<int16_t*>(samples->data[0]);
    for (int k = 0; k < chunk * 2; ++k)
      out[k] = int16_t(std::lround(std::clamp(sound[size_t(i) * chunk * 2 + k], -1.0f, 1.0f) * 32767));
    samples->pts = int64_t(i) * chunk;
    Drain(fmt, audio, samples);
  }
  Drain(fmt, video, nullptr);
  Drain(fmt, audio, nullptr);
  Check(av_write_trailer(fmt), "trailer");
  cairo_surface_destroy(surface);
  sws_freeContext(sws);
  av_frame_free(&picture);
  av_frame_free(&samples);
  avcodec_free_context(&video.codec);
  avcodec_free_context(&audio.codec);
  avio_closep(&fmt->pb);
  avformat_free_context(fmt);
}

}  // namespace

void AddMovieJobs(std::vector<Job>& jobs) {
  jobs.push_back([] { WriteMovie(OutPath("ZadOR/QKLogo640.mov")); });
}

}  // namespace assetgen
