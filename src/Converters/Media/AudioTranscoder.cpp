#include "Converters/Media/AudioTranscoder.h"

#include "Converters/Media/FfmpegError.h"
#include "Converters/Media/StreamDetails.h"

#include <algorithm>
#include <cstdlib>
#include <new>
#include <string>

namespace vantory {

namespace {

// Encoders without a fixed frame size (PCM) take the samples in blocks of this many.
constexpr int pcmBlockFrames = 4096;

// The source's rate when the encoder takes it, otherwise the nearest rate it takes.
int outputRate(const AVCodec* codec, int sourceRate)
{
    if (!codec->supported_samplerates)
        return sourceRate;
    int best = codec->supported_samplerates[0];
    for (const int* rate = codec->supported_samplerates; *rate; ++rate) {
        if (*rate == sourceRate)
            return sourceRate;
        if (std::abs(*rate - sourceRate) < std::abs(best - sourceRate))
            best = *rate;
    }
    return best;
}

AVChannelLayout layoutFor(int channels)
{
    AVChannelLayout layout{};
    av_channel_layout_default(&layout, channels);
    return layout;
}

// The frame's layout, with an unspecified order read as the usual layout of its channel count.
AVChannelLayout layoutOf(const AVFrame& frame)
{
    if (frame.ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
        return layoutFor(frame.ch_layout.nb_channels);
    AVChannelLayout layout{};
    checkFfmpeg<MediaReadError>(av_channel_layout_copy(&layout, &frame.ch_layout), "Reading the channel layout");
    return layout;
}

// A frame with room for `samples` samples in the encoder's format, rate and channel
// layout; failures throw MediaWriteError with `what`.
ffmpeg::Frame encoderFrame(const AVCodecContext* encoder, int samples, const std::string& what)
{
    ffmpeg::Frame frame = ffmpeg::makeFrame();
    frame->format = encoder->sample_fmt;
    frame->sample_rate = encoder->sample_rate;
    frame->nb_samples = samples;
    checkFfmpeg<MediaWriteError>(av_channel_layout_copy(&frame->ch_layout, &encoder->ch_layout), what);
    checkFfmpeg<MediaWriteError>(av_frame_get_buffer(frame.get(), 0), what);
    return frame;
}

} // namespace

AudioTranscoder::AudioTranscoder(const AVStream* input, MediaOutput& output, const AudioEncoding& encoding,
                                 std::int64_t startOffset)
    : decoded_(input),
      encoded_(encoding.encoder, output, "the audio"),
      sourceTimeBase_(input->time_base)
{
    AVCodecContext* encoder = encoded_.encoder();
    const AVCodec* codec = encoded_.codec();
    encoder->sample_fmt = codec->sample_fmts ? codec->sample_fmts[0] : AV_SAMPLE_FMT_S16;
    encoder->sample_rate = outputRate(codec, decoded_.decoder()->sample_rate);
    encoder->ch_layout = layoutFor(decoded_.decoder()->ch_layout.nb_channels == 1 ? 1 : 2);
    encoder->bit_rate = encoding.bitRate;
    encoder->time_base = {1, encoder->sample_rate};
    encoded_.open();
    copyStreamTags(input, encoded_.stream());
    startOffset_ = av_rescale_q(startOffset, AV_TIME_BASE_Q, encoder->time_base);
    frameSize_ = encoder->frame_size > 0 ? encoder->frame_size : pcmBlockFrames;
    queue_.reset(av_audio_fifo_alloc(encoder->sample_fmt, encoder->ch_layout.nb_channels, frameSize_));
    if (!queue_)
        throw std::bad_alloc();
}

AudioTranscoder::~AudioTranscoder()
{
    av_channel_layout_uninit(&resamplerLayout_);
}

void AudioTranscoder::send(const AVPacket* packet)
{
    decoded_.send(packet, [this](const AVFrame& decoded) { takeDecoded(decoded); });
}

void AudioTranscoder::finish()
{
    decoded_.finish([this](const AVFrame& decoded) { takeDecoded(decoded); });
    convert(nullptr);
    encodeQueued(true);
    encoded_.encode(nullptr);
}

void AudioTranscoder::takeDecoded(const AVFrame& decoded)
{
    if (!resamplerTakes(decoded)) {
        convert(nullptr); // what the old set-up still holds comes first
        startResampler(decoded);
    }
    convert(&decoded);
    encodeQueued(false);
}

bool AudioTranscoder::resamplerTakes(const AVFrame& decoded) const
{
    if (!resampler_ || decoded.format != resamplerFormat_ || decoded.sample_rate != resamplerRate_)
        return false;
    AVChannelLayout layout = layoutOf(decoded);
    const bool same = av_channel_layout_compare(&layout, &resamplerLayout_) == 0;
    av_channel_layout_uninit(&layout);
    return same;
}

void AudioTranscoder::startResampler(const AVFrame& decoded)
{
    av_channel_layout_uninit(&resamplerLayout_);
    resamplerLayout_ = layoutOf(decoded);
    resamplerFormat_ = decoded.format;
    resamplerRate_ = decoded.sample_rate;
    AVCodecContext* encoder = encoded_.encoder();
    SwrContext* resampler = nullptr;
    const int made = swr_alloc_set_opts2(&resampler, &encoder->ch_layout, encoder->sample_fmt, encoder->sample_rate,
                                         &resamplerLayout_, static_cast<AVSampleFormat>(decoded.format), decoded.sample_rate,
                                         0, nullptr);
    resampler_.reset(resampler);
    checkFfmpeg<MediaWriteError>(made, "Setting up the audio conversion");
    checkFfmpeg<MediaWriteError>(swr_init(resampler_.get()), "Setting up the audio conversion");
}

std::int64_t AudioTranscoder::outputTimestamp(const AVFrame& decoded)
{
    if (decoded.best_effort_timestamp == AV_NOPTS_VALUE)
        return SampleTimeline::noTimestamp;
    const AVRational output{1, encoded_.encoder()->sample_rate};
    // A timestamp within its time base's rounding of where the frame before ended
    // continues from there, so that rounded source timestamps make no one-sample gaps.
    const std::int64_t start = av_rescale_delta(sourceTimeBase_, decoded.best_effort_timestamp, {1, decoded.sample_rate},
                                                decoded.nb_samples, &continuation_, output);
    // The resampler gives back first the samples it still holds from earlier frames.
    return start - startOffset_ - swr_get_delay(resampler_.get(), output.den);
}

void AudioTranscoder::convert(const AVFrame* decoded)
{
    if (!resampler_)
        return;
    const int inputFrames = decoded ? decoded->nb_samples : 0;
    const int capacity = swr_get_out_samples(resampler_.get(), inputFrames);
    if (capacity <= 0)
        return;
    const std::int64_t timestamp = decoded ? outputTimestamp(*decoded) : SampleTimeline::noTimestamp;
    const ffmpeg::Frame converted = encoderFrame(encoded_.encoder(), capacity, "Converting the audio");
    const int frames = checkFfmpeg<MediaWriteError>(
        swr_convert(resampler_.get(), converted->data, capacity,
                    decoded ? const_cast<const uint8_t**>(decoded->extended_data) : nullptr, inputFrames),
        "Converting the audio");
    if (frames <= 0)
        return;
    checkFfmpeg<MediaWriteError>(av_audio_fifo_write(queue_.get(), reinterpret_cast<void**>(converted->data), frames),
                                 "Converting the audio");
    timeline_.add(timestamp, frames);
}

void AudioTranscoder::encodeQueued(bool includingPartialFrame)
{
    while (av_audio_fifo_size(queue_.get()) >= frameSize_ || (includingPartialFrame && av_audio_fifo_size(queue_.get()) > 0)) {
        const ffmpeg::Frame frame = encoderFrame(encoded_.encoder(), std::min(frameSize_, av_audio_fifo_size(queue_.get())),
                                                 "Encoding the audio");
        av_audio_fifo_read(queue_.get(), reinterpret_cast<void**>(frame->data), frame->nb_samples);
        frame->pts = timeline_.take(frame->nb_samples);
        encoded_.encode(frame.get());
        samplesWritten_ += frame->nb_samples;
    }
}

} // namespace vantory
