// Movies decoded by FFmpeg. Made for short movies such as the logo: Open
// reads the whole file, decodes the sound track into memory (the sound
// subsystem plays it as one block) and keeps the picture's packets, which
// Task decodes as their frames fall due. Only this folder sees FFmpeg, whose
// libraries an open movie holds (FFmpegLibraries.h).
#include <algorithm>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <vector>

#include "platform/MoviePlayer.h"
#include "platform/PlatformFiles.h"
#include "platform/PlatformTime.h"
#include "platform/ffmpeg/FFmpegLibraries.h"

namespace {

// Limits that keep a damaged or hostile file from filling memory: what is
// beyond them is not played.
constexpr size_t kMaxPictureBytes = size_t(64) << 20;
constexpr size_t kMaxSoundSeconds = 120;

bool OpenDecoder(const FFmpegFunctions& f, const AVStream* stream, AVCodecContext** context) {
  const AVCodec* codec = f.avcodec_find_decoder(stream->codecpar->codec_id);
  if (!codec) return false;
  *context = f.avcodec_alloc_context3(codec);
  if (!*context) return false;
  if (f.avcodec_parameters_to_context(*context, stream->codecpar) < 0 ||
      f.avcodec_open2(*context, codec, nullptr) < 0) {
    f.avcodec_free_context(context);
    return false;
  }
  return true;
}

// The sound track, decoded and converted to 16-bit stereo at its own rate.
class SoundDecoder {
 public:
  explicit SoundDecoder(const FFmpegFunctions& functions) : f(functions) {}
  ~SoundDecoder() {
    f.swr_free(&resampler_);
    f.avcodec_free_context(&codec_);
    f.av_frame_free(&frame_);
  }

  bool Open(const AVStream* stream) {
    if (!OpenDecoder(f, stream, &codec_) || codec_->sample_rate <= 0) return false;
    AVChannelLayout in{};
    if (codec_->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
      f.av_channel_layout_default(&in, codec_->ch_layout.nb_channels);
    else
      f.av_channel_layout_copy(&in, &codec_->ch_layout);
    AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    int made = f.swr_alloc_set_opts2(&resampler_, &stereo, AV_SAMPLE_FMT_S16, codec_->sample_rate, &in,
                                     codec_->sample_fmt, codec_->sample_rate, 0, nullptr);
    f.av_channel_layout_uninit(&in);
    frame_ = f.av_frame_alloc();
    return made >= 0 && f.swr_init(resampler_) >= 0 && frame_;
  }

  UInt32 Rate() const { return UInt32(codec_->sample_rate); }

  // A null packet drains the decoder and the converter.
  void Decode(const AVPacket* packet, std::vector<SInt16>* samples) {
    if (f.avcodec_send_packet(codec_, packet) < 0 && packet) return;  // a damaged packet is skipped
    while (f.avcodec_receive_frame(codec_, frame_) == 0) {
      Convert(const_cast<const uint8_t**>(frame_->extended_data), frame_->nb_samples, samples);
      f.av_frame_unref(frame_);
    }
    if (!packet) Convert(nullptr, 0, samples);
  }

 private:
  void Convert(const uint8_t** in, int count, std::vector<SInt16>* samples) {
    const size_t most = kMaxSoundSeconds * Rate() * 2;
    int room = f.swr_get_out_samples(resampler_, count);
    if (room <= 0 || samples->size() >= most) return;
    size_t old = samples->size();
    samples->resize(old + size_t(room) * 2);
    auto* out = reinterpret_cast<uint8_t*>(samples->data() + old);
    int made = f.swr_convert(resampler_, &out, room, in, count);
    samples->resize(old + size_t(made > 0 ? made : 0) * 2);
    if (samples->size() > most) samples->resize(most);
  }

  const FFmpegFunctions& f;
  AVCodecContext* codec_ = nullptr;
  SwrContext* resampler_ = nullptr;
  AVFrame* frame_ = nullptr;
};

class FFmpegMovie final : public Movie {
 public:
  explicit FFmpegMovie(MovieSoundOutput* sound) : sound_(sound) {}
  ~FFmpegMovie() override {
    Stop();
    Close();
  }

  SInt16 Open(const char* path) override;
  void SetBox(const Rect& box) override { box_ = box; }
  void Start() override;
  bool Task(PixMap* destination) override;
  void SetVolume(SInt16 volume) override;
  SInt16 Volume() const override { return volume_; }
  void Stop() override;
  bool Done() const override { return ended_; }

 private:
  void Close();
  SInt16 Read(AVFormatContext* format);
  bool DecodeNext(AVFrame* out);
  double FrameTime(const AVFrame* frame) const;
  void Draw(PixMap* destination);

  MovieSoundOutput* sound_;
  // The libraries, held from an Open that finds them to Close.
  const FFmpegFunctions* ff_ = nullptr;
  AVCodecContext* video_ = nullptr;
  AVRational timeBase_{1, 1};
  int64_t firstTime_ = 0;
  std::deque<AVPacket*> packets_;
  bool flushed_ = false;
  AVFrame* shown_ = nullptr;
  AVFrame* next_ = nullptr;  // decoded, not yet due
  bool pending_ = false;
  bool ended_ = false;
  SwsContext* scaler_ = nullptr;
  std::vector<UInt32> scaled_;
  std::vector<SInt16> samples_;
  UInt32 rate_ = 0;
  Rect box_{};
  SInt16 volume_ = 256;
  bool playing_ = false;
  UInt64 startMicros_ = 0;
};

SInt16 FFmpegMovie::Open(const char* path) {
  Stop();
  Close();
  std::error_code error;
  if (!path || !std::filesystem::is_regular_file(path, error)) return kMovieFileMissing;
  std::FILE* file = OpenRegularFileForReading(path);
  if (!file) return kMovieFileMissing;
  std::fclose(file);
  if (!(ff_ = HoldFFmpeg())) return kMovieFileDamaged;
  // Only QuickTime movies are played (the logo is one). A file is not
  // tried against every container FFmpeg knows: that costs time on each
  // open, more the more damaged the file, and lets a damaged file reach
  // readers the program never needs.
  const AVInputFormat* quickTime = ff_->av_find_input_format("mov");
  AVFormatContext* format = nullptr;
  if (!quickTime || ff_->avformat_open_input(&format, path, quickTime, nullptr) < 0) return kMovieFileDamaged;
  SInt16 result = Read(format);
  ff_->avformat_close_input(&format);
  if (result != 0) Close();
  return result;
}

SInt16 FFmpegMovie::Read(AVFormatContext* format) {
  if (ff_->avformat_find_stream_info(format, nullptr) < 0) return kMovieFileDamaged;
  int video = ff_->av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
  if (video < 0 || !OpenDecoder(*ff_, format->streams[video], &video_)) return kMovieFileDamaged;
  timeBase_ = format->streams[video]->time_base;
  firstTime_ = format->streams[video]->start_time == AV_NOPTS_VALUE ? 0 : format->streams[video]->start_time;
  int audio = ff_->av_find_best_stream(format, AVMEDIA_TYPE_AUDIO, -1, video, nullptr, 0);
  SoundDecoder sound(*ff_);
  bool hasSound = audio >= 0 && sound.Open(format->streams[audio]);

  AVPacket* packet = ff_->av_packet_alloc();
  if (!packet) return kMovieFileDamaged;
  size_t pictureBytes = 0;
  while (ff_->av_read_frame(format, packet) >= 0) {
    if (packet->stream_index == video && pictureBytes < kMaxPictureBytes) {
      pictureBytes += size_t(packet->size);
      if (AVPacket* kept = ff_->av_packet_clone(packet)) packets_.push_back(kept);
    } else if (hasSound && packet->stream_index == audio) {
      sound.Decode(packet, &samples_);
    }
    ff_->av_packet_unref(packet);
  }
  ff_->av_packet_free(&packet);
  if (hasSound) {
    sound.Decode(nullptr, &samples_);
    rate_ = sound.Rate();
  }
  // A file whose first picture does not decode is damaged.
  shown_ = ff_->av_frame_alloc();
  next_ = ff_->av_frame_alloc();
  if (!shown_ || !next_) return kMovieFileDamaged;
  pending_ = DecodeNext(next_);
  return pending_ ? 0 : kMovieFileDamaged;
}

void FFmpegMovie::Close() {
  if (ff_) {
    for (AVPacket* p : packets_) ff_->av_packet_free(&p);
    ff_->avcodec_free_context(&video_);
    ff_->av_frame_free(&shown_);
    ff_->av_frame_free(&next_);
    ff_->sws_freeContext(scaler_);
    ff_ = nullptr;
    ReleaseFFmpeg();
  }
  packets_.clear();
  scaler_ = nullptr;
  samples_.clear();
  pending_ = flushed_ = ended_ = false;
}

// The next frame of the picture; false at its end. A packet that does not
// decode is skipped.
bool FFmpegMovie::DecodeNext(AVFrame* out) {
  if (!video_) return false;
  for (;;) {
    int r = ff_->avcodec_receive_frame(video_, out);
    if (r == 0) return true;
    if (r != AVERROR(EAGAIN)) return false;
    if (packets_.empty()) {
      if (flushed_) return false;
      ff_->avcodec_send_packet(video_, nullptr);
      flushed_ = true;
      continue;
    }
    AVPacket* p = packets_.front();
    packets_.pop_front();
    ff_->avcodec_send_packet(video_, p);
    ff_->av_packet_free(&p);
  }
}

double FFmpegMovie::FrameTime(const AVFrame* frame) const {
  int64_t t = frame->best_effort_timestamp;
  if (t == AV_NOPTS_VALUE) t = frame->pts;
  if (t == AV_NOPTS_VALUE) return 0;
  return double(t - firstTime_) * av_q2d(timeBase_);
}

void FFmpegMovie::Start() {
  if (!video_ || playing_) return;
  playing_ = true;
  startMicros_ = MicrosecondsNow();
  if (sound_ && !samples_.empty()) {
    sound_->Start(samples_.data(), SInt32(samples_.size() / 2), 2, rate_);
    sound_->SetVolume(volume_);
  }
}

bool FFmpegMovie::Task(PixMap* destination) {
  if (!playing_ || ended_) return false;
  const double now = double(MicrosecondsNow() - startMicros_) / 1e6;
  bool fresh = false;
  for (;;) {
    if (!pending_ && !(pending_ = DecodeNext(next_))) {
      ended_ = true;
      break;
    }
    if (FrameTime(next_) > now) break;
    ff_->av_frame_unref(shown_);
    ff_->av_frame_move_ref(shown_, next_);
    pending_ = false;
    fresh = true;
  }
  if (fresh) Draw(destination);
  return fresh;
}

// Scaled into a picture of the box's size, then copied where the box lies
// inside the destination.
void FFmpegMovie::Draw(PixMap* destination) {
  const int bw = box_.right - box_.left, bh = box_.bottom - box_.top;
  if (!destination || !destination->baseAddr || destination->pixelSize != 32 || bw <= 0 || bh <= 0) return;
  scaler_ = ff_->sws_getCachedContext(scaler_, shown_->width, shown_->height, AVPixelFormat(shown_->format), bw, bh,
                                      AV_PIX_FMT_RGB32, SWS_BILINEAR, nullptr, nullptr, nullptr);
  if (!scaler_) return;
  scaled_.assign(size_t(bw) * size_t(bh), 0xFF000000u);
  uint8_t* planes[4] = {reinterpret_cast<uint8_t*>(scaled_.data()), nullptr, nullptr, nullptr};
  int strides[4] = {bw * 4, 0, 0, 0};
  ff_->sws_scale(scaler_, shown_->data, shown_->linesize, 0, shown_->height, planes, strides);

  const Rect& b = destination->bounds;
  const SInt32 rowBytes = UInt16(destination->rowBytes) & 0x7FFF;
  const int left = std::max<int>(box_.left, b.left), right = std::min<int>(box_.right, b.right);
  const int top = std::max<int>(box_.top, b.top), bottom = std::min<int>(box_.bottom, b.bottom);
  for (int y = top; y < bottom && left < right; ++y) {
    auto* row = reinterpret_cast<UInt32*>(destination->baseAddr + SInt32(y - b.top) * rowBytes) + (left - b.left);
    const UInt32* from = scaled_.data() + size_t(y - box_.top) * size_t(bw) + size_t(left - box_.left);
    for (int x = 0; x < right - left; ++x) row[x] = from[x] | 0xFF000000u;
  }
}

void FFmpegMovie::SetVolume(SInt16 volume) {
  volume_ = volume;
  if (sound_ && playing_ && !samples_.empty()) sound_->SetVolume(volume);
}

void FFmpegMovie::Stop() {
  if (!playing_) return;
  playing_ = false;
  if (sound_ && !samples_.empty()) sound_->Stop();
}

}  // namespace

std::unique_ptr<Movie> NewFFmpegMovie(MovieSoundOutput* sound) { return std::make_unique<FFmpegMovie>(sound); }
