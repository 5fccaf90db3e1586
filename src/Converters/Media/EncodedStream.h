#pragma once

#include "Converters/Media/FfmpegHandles.h"

namespace vantory {

class MediaOutput;

// An encoder and the output stream it writes into. Set the encoder's settings through
// encoder(), then open(); encode() then writes every packet the encoder gives back.
// Errors throw MediaWriteError naming `what` ("the audio", "the video").
class EncodedStream {
public:
    // Throws MediaWriteError when FFmpeg has no encoder of this name.
    EncodedStream(const char* encoderName, MediaOutput& output, const char* what);

    const AVCodec* codec() const { return codec_; }
    AVCodecContext* encoder() const { return encoder_.get(); }
    AVStream* stream() const { return stream_; }

    // Opens the encoder and adds its stream to the output, in the encoder's time base.
    void open();
    // Sends a frame (nullptr: the end) and writes what the encoder has ready.
    void encode(const AVFrame* frame);

private:
    MediaOutput& output_;
    const char* what_;
    const AVCodec* codec_;
    ffmpeg::CodecContext encoder_;
    ffmpeg::Packet encoded_;
    AVStream* stream_ = nullptr;
};

} // namespace vantory
