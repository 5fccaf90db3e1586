#pragma once

#include <cstdint>
#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/frame.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

// Owning handles for FFmpeg's objects, each released by its own free function.
namespace vantory::ffmpeg {

struct CodecContextFree {
    void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
struct FrameFree {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct PacketFree {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
struct ResamplerFree {
    void operator()(SwrContext* context) const { swr_free(&context); }
};
struct ScalerFree {
    void operator()(SwsContext* context) const { sws_freeContext(context); }
};
struct FifoFree {
    void operator()(AVAudioFifo* fifo) const { av_audio_fifo_free(fifo); }
};

using CodecContext = std::unique_ptr<AVCodecContext, CodecContextFree>;
using Frame = std::unique_ptr<AVFrame, FrameFree>;
using Packet = std::unique_ptr<AVPacket, PacketFree>;
using Resampler = std::unique_ptr<SwrContext, ResamplerFree>;
using Scaler = std::unique_ptr<SwsContext, ScalerFree>;
using AudioFifo = std::unique_ptr<AVAudioFifo, FifoFree>;

// A new frame or packet; throws std::bad_alloc when there is no memory for one.
Frame makeFrame();
Packet makePacket();

// A decoder opened for `stream`, refusing pictures of more than `maxPixels` pixels (0: no
// limit). Throws MediaReadError when there is none or it fails.
CodecContext openDecoder(const AVStream* stream, std::int64_t maxPixels = 0);

// Keeps FFmpeg's own log off the terminal; called before any other FFmpeg work.
void silenceLog();

} // namespace vantory::ffmpeg
