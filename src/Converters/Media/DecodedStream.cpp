#include "Converters/Media/DecodedStream.h"

#include "Converters/Media/FfmpegError.h"

namespace vantory {

DecodedStream::DecodedStream(const AVStream* input, const char* decoding)
    : decoder_(ffmpeg::openDecoder(input)),
      decoded_(ffmpeg::makeFrame()),
      decoding_(decoding)
{
}

void DecodedStream::send(const AVPacket* packet, const PerFrame& perFrame)
{
    checkFfmpeg<MediaReadError>(avcodec_send_packet(decoder_.get(), packet), decoding_);
    receive(perFrame);
}

void DecodedStream::finish(const PerFrame& perFrame)
{
    send(nullptr, perFrame);
}

void DecodedStream::receive(const PerFrame& perFrame)
{
    for (;;) {
        const int received = avcodec_receive_frame(decoder_.get(), decoded_.get());
        if (received == AVERROR(EAGAIN) || received == AVERROR_EOF)
            return;
        checkFfmpeg<MediaReadError>(received, decoding_);
        perFrame(*decoded_);
        av_frame_unref(decoded_.get());
    }
}

} // namespace vantory
