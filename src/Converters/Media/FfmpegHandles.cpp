#include "Converters/Media/FfmpegHandles.h"

#include "Converters/Media/FfmpegError.h"

#include <mutex>
#include <new>

extern "C" {
#include <libavformat/avformat.h>
}

namespace vantory::ffmpeg {

Frame makeFrame()
{
    Frame frame(av_frame_alloc());
    if (!frame)
        throw std::bad_alloc();
    return frame;
}

Packet makePacket()
{
    Packet packet(av_packet_alloc());
    if (!packet)
        throw std::bad_alloc();
    return packet;
}

CodecContext openDecoder(const AVStream* stream, std::int64_t maxPixels)
{
    const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
    if (!codec)
        throw MediaReadError(std::string("No decoder for the codec ") + avcodec_get_name(stream->codecpar->codec_id));
    CodecContext context(avcodec_alloc_context3(codec));
    if (!context)
        throw std::bad_alloc();
    checkFfmpeg<MediaReadError>(avcodec_parameters_to_context(context.get(), stream->codecpar), "Reading the stream's settings");
    context->pkt_timebase = stream->time_base;
    context->thread_count = 0; // as many as the codec finds useful; libavcodec's default is one
    if (maxPixels > 0)
        context->max_pixels = maxPixels;
    checkFfmpeg<MediaReadError>(avcodec_open2(context.get(), codec, nullptr), "Opening the decoder");
    return context;
}

void silenceLog()
{
    static std::once_flag once;
    std::call_once(once, [] { av_log_set_level(AV_LOG_QUIET); });
}

} // namespace vantory::ffmpeg
