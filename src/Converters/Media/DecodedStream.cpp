#include "Converters/Media/DecodedStream.h"

#include <new>

namespace vantory {

namespace {

// Decoding errors skip the damaged packet or frame; running out of memory is no damage.
void skipDamage(int code)
{
    if (code == AVERROR(ENOMEM))
        throw std::bad_alloc();
}

} // namespace

DecodedStream::DecodedStream(const AVStream* input, std::int64_t maxPixels)
    : decoder_(ffmpeg::openDecoder(input, maxPixels)),
      decoded_(ffmpeg::makeFrame())
{
}

void DecodedStream::send(const AVPacket* packet, const PerFrame& perFrame)
{
    const int sent = avcodec_send_packet(decoder_.get(), packet);
    if (sent != AVERROR_EOF)
        skipDamage(sent);
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
        if (received < 0) {
            // A damaged frame ends this round, as in the ffmpeg tool; the next packet goes on.
            if (received != AVERROR(EAGAIN) && received != AVERROR_EOF)
                skipDamage(received);
            return;
        }
        perFrame(*decoded_);
        av_frame_unref(decoded_.get());
    }
}

} // namespace vantory
