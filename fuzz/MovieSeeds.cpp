#include "MovieSeeds.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <filesystem>
#include <string>
#include <vector>

namespace {

struct Input {
  AVFormatContext* format = nullptr;
  int video = -1, audio = -1;
  ~Input() { avformat_close_input(&format); }
  bool Open(const std::string& path) {
    if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0) return false;
    if (avformat_find_stream_info(format, nullptr) < 0) return false;
    video = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    audio = av_find_best_stream(format, AVMEDIA_TYPE_AUDIO, -1, video, nullptr, 0);
    return video >= 0;
  }
  AVStream* Stream(int i) const { return format->streams[i]; }
  double Seconds(const AVPacket* p) const {
    return p->pts == AV_NOPTS_VALUE ? 0 : double(p->pts) * av_q2d(Stream(p->stream_index)->time_base);
  }
};

// A QuickTime file written with bit-exact flags, so the seeds are the same
// on every run.
struct Output {
  AVFormatContext* format = nullptr;
  ~Output() {
    if (!format) return;
    if (format->pb) avio_closep(&format->pb);
    avformat_free_context(format);
  }
  bool Create(const std::string& path) {
    if (avformat_alloc_output_context2(&format, nullptr, "mov", path.c_str()) < 0) return false;
    format->flags |= AVFMT_FLAG_BITEXACT;
    return true;
  }
  // With indexFirst the index goes before the data ("fast start").
  bool Begin(const std::string& path, bool indexFirst) {
    if (avio_open(&format->pb, path.c_str(), AVIO_FLAG_WRITE) < 0) return false;
    AVDictionary* options = nullptr;
    if (indexFirst) av_dict_set(&options, "movflags", "+faststart", 0);
    const int result = avformat_write_header(format, &options);
    av_dict_free(&options);
    return result >= 0;
  }
  bool Write(AVPacket* packet, AVRational from, int stream) {
    av_packet_rescale_ts(packet, from, format->streams[stream]->time_base);
    packet->stream_index = stream;
    packet->pos = -1;
    return av_interleaved_write_frame(format, packet) >= 0;
  }
};

// The first `seconds` of the movie, its packets copied as they are.
bool Cut(const std::string& in, const std::string& out, double seconds, bool withSound, bool indexFirst) {
  Input input;
  Output output;
  if (!input.Open(in) || !output.Create(out)) return false;
  std::vector<int> to(input.format->nb_streams, -1);
  for (int i : {input.video, withSound ? input.audio : -1}) {
    if (i < 0) continue;
    AVStream* stream = avformat_new_stream(output.format, nullptr);
    if (!stream || avcodec_parameters_copy(stream->codecpar, input.Stream(i)->codecpar) < 0) return false;
    stream->codecpar->codec_tag = 0;
    stream->time_base = input.Stream(i)->time_base;
    to[size_t(i)] = stream->index;
  }
  if (!output.Begin(out, indexFirst)) return false;
  AVPacket* packet = av_packet_alloc();
  bool ok = packet != nullptr;
  while (ok && av_read_frame(input.format, packet) >= 0) {
    const int i = packet->stream_index;
    if (to[size_t(i)] >= 0 && input.Seconds(packet) < seconds)
      ok = output.Write(packet, input.Stream(i)->time_base, to[size_t(i)]);
    av_packet_unref(packet);
  }
  av_packet_free(&packet);
  return ok && av_write_trailer(output.format) >= 0;
}

AVCodecContext* Decoder(const AVStream* stream) {
  const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
  AVCodecContext* context = codec ? avcodec_alloc_context3(codec) : nullptr;
  if (context &&
      (avcodec_parameters_to_context(context, stream->codecpar) < 0 || avcodec_open2(context, codec, nullptr) < 0))
    avcodec_free_context(&context);
  return context;
}

AVCodecContext* Encoder(AVCodecID id, const AVFormatContext* format) {
  const AVCodec* codec = avcodec_find_encoder(id);
  AVCodecContext* context = codec ? avcodec_alloc_context3(codec) : nullptr;
  if (!context) return nullptr;
  context->flags |= AV_CODEC_FLAG_BITEXACT;
  context->thread_count = 1;
  if (format->oformat->flags & AVFMT_GLOBALHEADER) context->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  return context;
}

AVStream* AddStream(AVFormatContext* format, const AVCodecContext* encoder) {
  AVStream* stream = avformat_new_stream(format, nullptr);
  if (!stream || avcodec_parameters_from_context(stream->codecpar, encoder) < 0) return nullptr;
  stream->time_base = encoder->time_base;
  return stream;
}

// Sends a frame (null: the end) to the encoder and writes what comes out.
bool Encode(AVCodecContext* encoder, const AVFrame* frame, Output& output, const AVStream* stream) {
  if (avcodec_send_frame(encoder, frame) < 0) return false;
  AVPacket* packet = av_packet_alloc();
  bool ok = packet != nullptr;
  while (ok && avcodec_receive_packet(encoder, packet) == 0) {
    ok = output.Write(packet, encoder->time_base, stream->index);
    av_packet_unref(packet);
  }
  av_packet_free(&packet);
  return ok;
}

// What a decoder gives for a packet (null: the end), each frame to `use`.
template <typename Use>
bool Decode(AVCodecContext* decoder, const AVPacket* packet, AVFrame* frame, Use use) {
  if (avcodec_send_packet(decoder, packet) < 0) return false;
  bool ok = true;
  while (ok && avcodec_receive_frame(decoder, frame) == 0) {
    ok = use(frame);
    av_frame_unref(frame);
  }
  return ok;
}

// The first `seconds` of the movie decoded and encoded again, small: the
// picture at w x h (MPEG-4, a key frame every five), the sound as unsigned
// 8-bit samples at `rate` hertz, `channels` to a frame.
bool Shrink(const std::string& in, const std::string& out, double seconds, int w, int h, int channels, int rate) {
  Input input;
  Output output;
  if (!input.Open(in) || input.audio < 0 || !output.Create(out)) return false;
  AVCodecContext* videoIn = Decoder(input.Stream(input.video));
  AVCodecContext* soundIn = Decoder(input.Stream(input.audio));
  AVCodecContext* videoOut = Encoder(AV_CODEC_ID_MPEG4, output.format);
  AVCodecContext* soundOut = Encoder(AV_CODEC_ID_PCM_U8, output.format);
  if (!videoIn || !soundIn || !videoOut || !soundOut) return false;
  videoOut->width = w;
  videoOut->height = h;
  videoOut->pix_fmt = AV_PIX_FMT_YUV420P;
  videoOut->time_base = {1, 30};
  videoOut->framerate = {30, 1};
  videoOut->gop_size = 5;
  soundOut->sample_fmt = AV_SAMPLE_FMT_U8;
  soundOut->sample_rate = rate;
  av_channel_layout_default(&soundOut->ch_layout, channels);
  soundOut->time_base = {1, rate};
  if (avcodec_open2(videoOut, nullptr, nullptr) < 0 || avcodec_open2(soundOut, nullptr, nullptr) < 0) return false;
  AVStream* videoStream = AddStream(output.format, videoOut);
  AVStream* soundStream = AddStream(output.format, soundOut);
  SwsContext* scaler = sws_getContext(videoIn->width, videoIn->height, videoIn->pix_fmt, w, h, AV_PIX_FMT_YUV420P,
                                      SWS_BILINEAR | SWS_BITEXACT, nullptr, nullptr, nullptr);
  SwrContext* resampler = nullptr;
  if (!videoStream || !soundStream || !scaler ||
      swr_alloc_set_opts2(&resampler, &soundOut->ch_layout, soundOut->sample_fmt, rate, &soundIn->ch_layout,
                          soundIn->sample_fmt, soundIn->sample_rate, 0, nullptr) < 0 ||
      swr_init(resampler) < 0 || !output.Begin(out, false))
    return false;

  AVFrame* decoded = av_frame_alloc();
  AVFrame* picture = av_frame_alloc();
  AVFrame* sound = av_frame_alloc();
  AVPacket* packet = av_packet_alloc();
  int64_t frames = 0, samples = 0;
  auto putPicture = [&](AVFrame* from) {
    av_frame_unref(picture);
    picture->format = AV_PIX_FMT_YUV420P;
    picture->width = w;
    picture->height = h;
    if (av_frame_get_buffer(picture, 0) < 0) return false;
    sws_scale(scaler, from->data, from->linesize, 0, from->height, picture->data, picture->linesize);
    picture->pts = frames++;
    return Encode(videoOut, picture, output, videoStream);
  };
  auto putSound = [&](AVFrame* from) {
    av_frame_unref(sound);
    sound->format = soundOut->sample_fmt;
    sound->sample_rate = rate;
    if (av_channel_layout_copy(&sound->ch_layout, &soundOut->ch_layout) < 0) return false;
    sound->nb_samples = swr_get_out_samples(resampler, from ? from->nb_samples : 0);
    if (sound->nb_samples <= 0) return true;
    if (av_frame_get_buffer(sound, 0) < 0) return false;
    const int made =
        swr_convert(resampler, sound->data, sound->nb_samples,
                    from ? const_cast<const uint8_t**>(from->extended_data) : nullptr, from ? from->nb_samples : 0);
    if (made <= 0) return made == 0;
    sound->nb_samples = made;
    sound->pts = samples;
    samples += made;
    return Encode(soundOut, sound, output, soundStream);
  };
  bool ok = decoded && picture && sound && packet;
  while (ok && av_read_frame(input.format, packet) >= 0) {
    if (input.Seconds(packet) < seconds) {
      if (packet->stream_index == input.video)
        ok = Decode(videoIn, packet, decoded, putPicture);
      else if (packet->stream_index == input.audio)
        ok = Decode(soundIn, packet, decoded, putSound);
    }
    av_packet_unref(packet);
  }
  ok = ok && Decode(videoIn, nullptr, decoded, putPicture) && Decode(soundIn, nullptr, decoded, putSound) &&
       putSound(nullptr) && Encode(videoOut, nullptr, output, videoStream) &&
       Encode(soundOut, nullptr, output, soundStream) && av_write_trailer(output.format) >= 0;
  av_packet_free(&packet);
  av_frame_free(&sound);
  av_frame_free(&picture);
  av_frame_free(&decoded);
  swr_free(&resampler);
  sws_freeContext(scaler);
  avcodec_free_context(&soundOut);
  avcodec_free_context(&videoOut);
  avcodec_free_context(&soundIn);
  avcodec_free_context(&videoIn);
  return ok;
}

}  // namespace

int MovieSeeds(const std::string& logo, const std::string& folder) {
  std::filesystem::create_directories(folder);
  int n = 0;
  auto next = [&] { return folder + "/seed-" + std::to_string(n++); };
  std::error_code error;
  if (!std::filesystem::copy_file(logo, next(), std::filesystem::copy_options::overwrite_existing, error)) return -1;
  if (!Shrink(logo, next(), 0.34, 48, 28, 1, 8000)) return -1;
  if (!Shrink(logo, next(), 0.2, 32, 18, 2, 11025)) return -1;
  if (!Cut(logo, next(), 0.1, true, false)) return -1;
  if (!Cut(logo, next(), 0.1, true, true)) return -1;
  if (!Cut(logo, next(), 0.1, false, false)) return -1;
  return n;
}
