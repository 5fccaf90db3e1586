#pragma once

#include "Converters/Media/DecodedStream.h"
#include "Converters/Media/EncodedStream.h"
#include "Converters/Media/FfmpegHandles.h"
#include "Converters/Media/SampleTimeline.h"

#include <cstdint>

namespace vantory {

class MediaOutput;

struct AudioEncoding {
    const char* encoder; // FFmpeg's name: "aac", "pcm_s16le"
    std::int64_t bitRate = 0; // bits per second; 0 for PCM
};

// Decodes one audio stream and encodes it into a new stream of `output`: at the source's
// rate when the encoder takes it, mono when the source starts mono and stereo otherwise
// (more channels are mixed down). The stream may change its layout, rate or sample format
// on the way; the output keeps the one it started with. Timestamps follow the source's,
// less `startOffset` (in AV_TIME_BASE units), with its gaps. Encoder and writer errors
// throw MediaWriteError; damaged packets are skipped.
class AudioTranscoder {
public:
    // Adds the output stream; call before the output's header is written.
    AudioTranscoder(const AVStream* input, MediaOutput& output, const AudioEncoding& encoding, std::int64_t startOffset);
    ~AudioTranscoder();
    AudioTranscoder(const AudioTranscoder&) = delete;
    AudioTranscoder& operator=(const AudioTranscoder&) = delete;

    void send(const AVPacket* packet);
    // Drains the decoder, the resampler and the encoder.
    void finish();
    std::int64_t samplesWritten() const { return samplesWritten_; }

private:
    void takeDecoded(const AVFrame& decoded);
    // Resamples `decoded` (nullptr: what the resampler still holds) into the queue.
    void convert(const AVFrame* decoded);
    bool resamplerTakes(const AVFrame& decoded) const;
    void startResampler(const AVFrame& decoded);
    // The output timestamp of the first sample the resampler gives back for `decoded`.
    std::int64_t outputTimestamp(const AVFrame& decoded);
    void encodeQueued(bool includingPartialFrame);

    DecodedStream decoded_;
    EncodedStream encoded_;
    AVRational sourceTimeBase_;
    std::int64_t startOffset_; // in output samples
    std::int64_t continuation_ = AV_NOPTS_VALUE; // where the last decoded frame ended, in its samples
    ffmpeg::Resampler resampler_;
    // What the resampler was set up to take.
    AVChannelLayout resamplerLayout_{};
    int resamplerFormat_ = AV_SAMPLE_FMT_NONE;
    int resamplerRate_ = 0;
    ffmpeg::AudioFifo queue_;
    SampleTimeline timeline_;
    int frameSize_ = 0;
    std::int64_t samplesWritten_ = 0;
};

} // namespace vantory
