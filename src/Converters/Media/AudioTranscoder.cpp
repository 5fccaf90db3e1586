#include "Converters/Media/AudioTranscoder.h"

#include "Converters/Media/FfmpegError.h"
#include "Converters/Media/MediaOutput.h"

#include <cstdlib>
#include <new>

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

} // namespace

AudioTranscoder::AudioTranscoder(const AVStream* input, MediaOutput& output, const AudioEncoding& encoding)
    : output_(output),
      decoder_(ffmpeg::openDecoder(input)),
      decoded_(ffmpeg::makeFrame()),
      encoded_(ffmpeg::makePacket())
{
    const AVCodec* codec = avcodec_find_encoder_by_name(encoding.encoder);
    if (!codec)
        throw MediaWriteError(std::string("No encoder ") + encoding.encoder);
    encoder_.reset(avcodec_alloc_context3(codec));
    if (!encoder_)
        throw std::bad_alloc();
    encoder_->sample_fmt = codec->sample_fmts ? codec->sample_fmts[0] : AV_SAMPLE_FMT_S16;
    encoder_->sample_rate = outputRate(codec, decoder_->sample_rate);
    encoder_->ch_layout = layoutFor(decoder_->ch_layout.nb_channels == 1 ? 1 : 2);
    encoder_->bit_rate = encoding.bitRate;
    encoder_->time_base = {1, encoder_->sample_rate};
    if (output.wantsGlobalHeader())
        encoder_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    checkFfmpeg<MediaWriteError>(avcodec_open2(encoder_.get(), codec, nullptr), "Opening the audio encoder");
    frameSize_ = encoder_->frame_size > 0 ? encoder_->frame_size : pcmBlockFrames;

    stream_ = output.addStream();
    checkFfmpeg<MediaWriteError>(avcodec_parameters_from_context(stream_->codecpar, encoder_.get()),
                                 "Setting up the audio stream");
    stream_->time_base = encoder_->time_base;
    queue_.reset(av_audio_fifo_alloc(encoder_->sample_fmt, encoder_->ch_layout.nb_channels, frameSize_));
    if (!queue_)
        throw std::bad_alloc();
}

void AudioTranscoder::send(const AVPacket* packet)
{
    checkFfmpeg<MediaReadError>(avcodec_send_packet(decoder_.get(), packet), "Decoding the audio");
    receiveDecoded();
}

void AudioTranscoder::finish()
{
    checkFfmpeg<MediaReadError>(avcodec_send_packet(decoder_.get(), nullptr), "Decoding the audio");
    receiveDecoded();
    if (resampler_)
        convert(nullptr); // what the resampler still holds
    encodeQueued(true);
    encode(nullptr);
}

void AudioTranscoder::receiveDecoded()
{
    for (;;) {
        const int received = avcodec_receive_frame(decoder_.get(), decoded_.get());
        if (received == AVERROR(EAGAIN) || received == AVERROR_EOF)
            return;
        checkFfmpeg<MediaReadError>(received, "Decoding the audio");
        convert(decoded_.get());
        av_frame_unref(decoded_.get());
        encodeQueued(false);
    }
}

void AudioTranscoder::startResampler(const AVFrame* decoded)
{
    AVChannelLayout sourceLayout{};
    if (decoded->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
        sourceLayout = layoutFor(decoded->ch_layout.nb_channels);
    else
        checkFfmpeg<MediaReadError>(av_channel_layout_copy(&sourceLayout, &decoded->ch_layout), "Reading the channel layout");
    SwrContext* resampler = nullptr;
    const int made = swr_alloc_set_opts2(&resampler, &encoder_->ch_layout, encoder_->sample_fmt, encoder_->sample_rate,
                                         &sourceLayout, static_cast<AVSampleFormat>(decoded->format), decoded->sample_rate, 0,
                                         nullptr);
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
    ffmpeg::Frame converted = ffmpeg::makeFrame();
    converted->format = encoder_->sample_fmt;
    converted->nb_samples = capacity;
    checkFfmpeg<MediaWriteError>(av_channel_layout_copy(&converted->ch_layout, &encoder_->ch_layout), "Converting the audio");
    checkFfmpeg<MediaWriteError>(av_frame_get_buffer(converted.get(), 0), "Converting the audio");
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
        ffmpeg::Frame frame = ffmpeg::makeFrame();
        frame->format = encoder_->sample_fmt;
        frame->sample_rate = encoder_->sample_rate;
        frame->nb_samples = std::min(frameSize_, av_audio_fifo_size(queue_.get()));
        checkFfmpeg<MediaWriteError>(av_channel_layout_copy(&frame->ch_layout, &encoder_->ch_layout), "Encoding the audio");
        checkFfmpeg<MediaWriteError>(av_frame_get_buffer(frame.get(), 0), "Encoding the audio");
        av_audio_fifo_read(queue_.get(), reinterpret_cast<void**>(frame->data), frame->nb_samples);
        frame->pts = nextPts_;
        nextPts_ += frame->nb_samples;
        encode(frame.get());
    }
}

void AudioTranscoder::encode(const AVFrame* frame)
{
    checkFfmpeg<MediaWriteError>(avcodec_send_frame(encoder_.get(), frame), "Encoding the audio");
    for (;;) {
        const int received = avcodec_receive_packet(encoder_.get(), encoded_.get());
        if (received == AVERROR(EAGAIN) || received == AVERROR_EOF)
            return;
        checkFfmpeg<MediaWriteError>(received, "Encoding the audio");
        encoded_->stream_index = stream_->index;
        av_packet_rescale_ts(encoded_.get(), encoder_->time_base, stream_->time_base);
        output_.write(encoded_.get());
    }
}

} // namespace vantory
