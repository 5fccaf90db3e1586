#pragma once

#include "Converters/Media/DecodedStream.h"
#include "Converters/Media/EncodedStream.h"
#include "Converters/Media/FfmpegHandles.h"

#include <cstdint>

namespace vantory {

class MediaOutput;

struct AudioEncoding {
    const char* encoder; // FFmpeg's name: "aac", "pcm_s16le"
    std::int64_t bitRate = 0; // bits per second; 0 for PCM
};

// Decodes one audio stream and encodes it into a new stream of `output`: at the source's
// rate when the encoder takes it, mono when the source is mono and stereo otherwise (more
// channels are mixed down). Source errors throw MediaReadError, encoder and writer errors
// MediaWriteError.
class AudioTranscoder {
public:
    // Adds the output stream; call before the output's header is written.
    AudioTranscoder(const AVStream* input, MediaOutput& output, const AudioEncoding& encoding);

    void send(const AVPacket* packet);
    // Drains the decoder, the resampler and the encoder.
    void finish();
    std::int64_t samplesWritten() const { return nextPts_; }

private:
    void takeDecoded(const AVFrame& decoded);
    void convert(const AVFrame* decoded);
    void startResampler(const AVFrame* decoded);
    void encodeQueued(bool includingPartialFrame);

    DecodedStream decoded_;
    EncodedStream encoded_;
    ffmpeg::Resampler resampler_;
    ffmpeg::AudioFifo queue_;
    int frameSize_ = 0;
    std::int64_t nextPts_ = 0;
};

} // namespace vantory
