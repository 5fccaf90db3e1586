#include "Converters/Media/AudioTranscoder.h"

#include "Converters/Media/FfmpegError.h"

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

AudioTranscoder::AudioTranscoder(const AVStream* input, MediaOutput& output, const AudioEncoding& encoding)
    : decoded_(input, "Decoding the audio"),
      encoded_(encoding.encoder, output, "the audio")
{
    AVCodecContext* encoder = encoded_.encoder();
    const AVCodec* codec = encoded_.codec();
    encoder->sample_fmt = codec->sample_fmts ? codec->sample_fmts[0] : AV_SAMPLE_FMT_S16;
    encoder->sample_rate = outputRate(codec, decoded_.decoder()->sample_rate);
    encoder->ch_layout = layoutFor(decoded_.decoder()->ch_layout.nb_channels == 1 ? 1 : 2);
    encoder->bit_rate = encoding.bitRate;
    encoder->time_base = {1, encoder->sample_rate};
    encoded_.open();
    frameSize_ = encoder->frame_size > 0 ? encoder->frame_size : pcmBlockFrames;
    queue_.reset(av_audio_fifo_alloc(encoder->sample_fmt, encoder->ch_layout.nb_channels, frameSize_));
    if (!queue_)
        throw std::bad_alloc();
}

void AudioTranscoder::send(const AVPacket* packet)
{
    decoded_.send(packet, [this](const AVFrame& decoded) { takeDecoded(decoded); });
}

void AudioTranscoder::finish()
{
    decoded_.finish([this](const AVFrame& decoded) { takeDecoded(decoded); });
    if (resampler_)
        convert(nullptr); // what the resampler still holds
    encodeQueued(true);
    encoded_.encode(nullptr);
}

void AudioTranscoder::takeDecoded(const AVFrame& decoded)
{
    convert(&decoded);
    encodeQueued(false);
}

void AudioTranscoder::startResampler(const AVFrame* decoded)
{
    AVChannelLayout sourceLayout{};
    if (decoded->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
        sourceLayout = layoutFor(decoded->ch_layout.nb_channels);
    else
        checkFfmpeg<MediaReadError>(av_channel_layout_copy(&sourceLayout, &decoded->ch_layout), "Reading the channel layout");
    SwrContext* resampler = nullptr;
    const int made = swr_alloc_set_opts2(&resampler, &encoded_.encoder()->ch_layout, encoded_.encoder()->sample_fmt,
                                         encoded_.encoder()->sample_rate, &sourceLayout,
                                         static_cast<AVSampleFormat>(decoded->format), decoded->sample_rate, 0, nullptr);
    av_channel_layout_uninit(&sourceLayout);
    resampler_.reset(resampler);
    checkFfmpeg<MediaWriteError>(made, "Setting up the audio conversion");
    checkFfmpeg<MediaWriteError>(swr_init(resampler_.get()), "Setting up the audio conversion");
}

void AudioTranscoder::convert(const AVFrame* decoded)
{
    if (!resampler_)
        startResampler(decoded);
    const int inputFrames = decoded ? decoded->nb_samples : 0;
    const int capacity = swr_get_out_samples(resampler_.get(), inputFrames);
    if (capacity <= 0)
        return;
    const ffmpeg::Frame converted = encoderFrame(encoded_.encoder(), capacity, "Converting the audio");
    const int frames = checkFfmpeg<MediaWriteError>(
        swr_convert(resampler_.get(), converted->data, capacity,
                    decoded ? const_cast<const uint8_t**>(decoded->extended_data) : nullptr, inputFrames),
        "Converting the audio");
    if (frames > 0)
        checkFfmpeg<MediaWriteError>(av_audio_fifo_write(queue_.get(), reinterpret_cast<void**>(converted->data), frames),
                                     "Converting the audio");
}

void AudioTranscoder::encodeQueued(bool includingPartialFrame)
{
    while (av_audio_fifo_size(queue_.get()) >= frameSize_ || (includingPartialFrame && av_audio_fifo_size(queue_.get()) > 0)) {
        const ffmpeg::Frame frame = encoderFrame(encoded_.encoder(), std::min(frameSize_, av_audio_fifo_size(queue_.get())),
                                                 "Encoding the audio");
        av_audio_fifo_read(queue_.get(), reinterpret_cast<void**>(frame->data), frame->nb_samples);
        frame->pts = nextPts_;
        nextPts_ += frame->nb_samples;
        encoded_.encode(frame.get());
    }
}

} // namespace vantory
