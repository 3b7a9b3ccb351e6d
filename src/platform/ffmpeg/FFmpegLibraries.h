// FFmpeg's libraries, loaded while a movie is open instead of linked: the
// program needs them only for the logo, and they bring some ninety libraries
// of their own that would otherwise stay mapped for the whole run. The
// headers still give the types; each function is called through a table of
// pointers typed after its declaration, so a call that does not match the
// headers does not compile.
#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavcodec/version.h>
#include <libavformat/avformat.h>
#include <libavformat/version.h>
#include <libavutil/channel_layout.h>
#include <libavutil/frame.h>
#include <libavutil/log.h>
#include <libavutil/version.h>
#include <libswresample/swresample.h>
#include <libswresample/version.h>
#include <libswscale/swscale.h>
#include <libswscale/version.h>
}

// Every FFmpeg function the movie player calls, by the library that
// defines it.
#define HALVANE_FFMPEG_FUNCTIONS(X)         \
  X(avformat, av_find_input_format)         \
  X(avformat, avformat_open_input)          \
  X(avformat, avformat_close_input)         \
  X(avformat, avformat_find_stream_info)    \
  X(avformat, av_find_best_stream)          \
  X(avformat, av_read_frame)                \
  X(avcodec, avcodec_find_decoder)          \
  X(avcodec, avcodec_alloc_context3)        \
  X(avcodec, avcodec_parameters_to_context) \
  X(avcodec, avcodec_open2)                 \
  X(avcodec, avcodec_free_context)          \
  X(avcodec, avcodec_send_packet)           \
  X(avcodec, avcodec_receive_frame)         \
  X(avcodec, av_packet_alloc)               \
  X(avcodec, av_packet_clone)               \
  X(avcodec, av_packet_unref)               \
  X(avcodec, av_packet_free)                \
  X(avutil, av_log_set_level)               \
  X(avutil, av_channel_layout_default)      \
  X(avutil, av_channel_layout_copy)         \
  X(avutil, av_channel_layout_uninit)       \
  X(avutil, av_frame_alloc)                 \
  X(avutil, av_frame_free)                  \
  X(avutil, av_frame_unref)                 \
  X(avutil, av_frame_move_ref)              \
  X(swresample, swr_alloc_set_opts2)        \
  X(swresample, swr_init)                   \
  X(swresample, swr_free)                   \
  X(swresample, swr_get_out_samples)        \
  X(swresample, swr_convert)                \
  X(swscale, sws_getCachedContext)          \
  X(swscale, sws_scale)                     \
  X(swscale, sws_freeContext)

struct FFmpegFunctions {
#define HALVANE_FFMPEG_POINTER(library, name) decltype(&::name) name = nullptr;
  HALVANE_FFMPEG_FUNCTIONS(HALVANE_FFMPEG_POINTER)
#undef HALVANE_FFMPEG_POINTER
};

// The functions, the libraries loaded on the first hold: null (and nothing
// left loaded) when a library or one of the functions is missing. Each hold
// that succeeded is given back by one ReleaseFFmpeg; the last unloads them.
const FFmpegFunctions* HoldFFmpeg();
void ReleaseFFmpeg();
