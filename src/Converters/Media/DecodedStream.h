#pragma once

#include "Converters/Media/FfmpegHandles.h"

#include <functional>

namespace vantory {

// A decoder opened for one input stream. send() and finish() hand every frame the
// decoder gives back to `perFrame`. Decoding errors throw MediaReadError whose message
// starts with `decoding` ("Decoding the audio", "Decoding the video").
class DecodedStream {
public:
    using PerFrame = std::function<void(const AVFrame& frame)>;

    // Throws MediaReadError when there is no decoder for the stream or it fails to open.
    DecodedStream(const AVStream* input, const char* decoding);

    const AVCodecContext* decoder() const { return decoder_.get(); }

    void send(const AVPacket* packet, const PerFrame& perFrame);
    // Drains the decoder.
    void finish(const PerFrame& perFrame);

private:
    void receive(const PerFrame& perFrame);

    ffmpeg::CodecContext decoder_;
    ffmpeg::Frame decoded_;
    const char* decoding_;
};

} // namespace vantory
