#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/samplefmt.h>
#include <libswresample/swresample.h>
}

#include <QString>

namespace tavrin {

// The FFmpeg functions our decoding uses, resolved at run time on the
// decoding thread, named as FFmpeg names them. FFmpeg's libraries pull in some
// hundred more: linked into the executable, they held up every start by some
// 60 ms before the window could show.
struct FFmpegLibrary {
    decltype(&::av_log_set_level) av_log_set_level;
    decltype(&::av_frame_alloc) av_frame_alloc;
    decltype(&::av_frame_free) av_frame_free;
    decltype(&::av_frame_unref) av_frame_unref;
    decltype(&::av_get_bytes_per_sample) av_get_bytes_per_sample;
    decltype(&::av_get_packed_sample_fmt) av_get_packed_sample_fmt;
    decltype(&::av_sample_fmt_is_planar) av_sample_fmt_is_planar;
    decltype(&::av_packet_alloc) av_packet_alloc;
    decltype(&::av_packet_free) av_packet_free;
    decltype(&::av_packet_unref) av_packet_unref;
    decltype(&::avcodec_find_decoder) avcodec_find_decoder;
    decltype(&::avcodec_alloc_context3) avcodec_alloc_context3;
    decltype(&::avcodec_free_context) avcodec_free_context;
    decltype(&::avcodec_parameters_to_context) avcodec_parameters_to_context;
    decltype(&::avcodec_open2) avcodec_open2;
    decltype(&::avcodec_send_packet) avcodec_send_packet;
    decltype(&::avcodec_receive_frame) avcodec_receive_frame;
    decltype(&::avcodec_flush_buffers) avcodec_flush_buffers;
    decltype(&::avformat_alloc_context) avformat_alloc_context;
    decltype(&::avformat_open_input) avformat_open_input;
    decltype(&::avformat_find_stream_info) avformat_find_stream_info;
    decltype(&::avformat_close_input) avformat_close_input;
    decltype(&::av_read_frame) av_read_frame;
    decltype(&::av_seek_frame) av_seek_frame;
    decltype(&::swr_alloc_set_opts2) swr_alloc_set_opts2;
    decltype(&::swr_init) swr_init;
    decltype(&::swr_convert) swr_convert;
    decltype(&::swr_get_out_samples) swr_get_out_samples;
    decltype(&::swr_free) swr_free;
};

// Loads the libraries once (thread-safe); nullptr when one of them, or one of
// the functions, is missing: then no recording can be decoded.
const FFmpegLibrary* loadFFmpeg();

// Why loadFFmpeg() gives nothing, in Chinese with the packages to install; empty
// when it gives the functions.
QString ffmpegProblem();

// The functions, once loadFFmpeg() has given them.
const FFmpegLibrary& ffmpeg();

} // namespace tavrin
