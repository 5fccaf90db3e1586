#pragma once

#include "Converters/Media/FfmpegHandles.h"

#include <cstdint>
#include <functional>

namespace vantory {

// A decoder opened for one input stream. send() and finish() hand every frame the
// decoder gives back to `perFrame`. A packet or frame the decoder fails on is damage in
// the source: it is skipped and decoding goes on, as players do.
class DecodedStream {
public:
    using PerFrame = std::function<void(const AVFrame& frame)>;

    // Throws MediaReadError when there is no decoder for the stream or it fails to open.
    // A picture of more than `maxPixels` pixels (0: no limit) is refused by the decoder
    // before it is allocated, like any other damaged frame.
    explicit DecodedStream(const AVStream* input, std::int64_t maxPixels = 0);

    const AVCodecContext* decoder() const { return decoder_.get(); }

    void send(const AVPacket* packet, const PerFrame& perFrame);
    // Drains the decoder.
    void finish(const PerFrame& perFrame);

private:
    void receive(const PerFrame& perFrame);

    ffmpeg::CodecContext decoder_;
    ffmpeg::Frame decoded_;
};

} // namespace vantory
