#include "Converters/Media/FfmpegPcmReader.h"

#include "Converters/Media/FfmpegError.h"

#include <algorithm>

namespace vantory {

namespace {

std::optional<mp3::SampleLayout> layoutOf(AVSampleFormat format)
{
    switch (av_get_packed_sample_fmt(format)) {
    case AV_SAMPLE_FMT_FLT: return mp3::SampleLayout::float32;
    case AV_SAMPLE_FMT_S16: return mp3::SampleLayout::int16;
    case AV_SAMPLE_FMT_S32: return mp3::SampleLayout::int32;
    default: return std::nullopt;
    }
}

int firstAudioStream(const MediaInput& input)
{
    const int index = input.firstStream(AVMEDIA_TYPE_AUDIO);
    if (index < 0)
        throw MediaReadError("The file has no audio");
    return index;
}

} // namespace

FfmpegPcmReader::FfmpegPcmReader(const std::filesystem::path& file)
    : input_(file),
      streamIndex_(firstAudioStream(input_)),
      decoder_(ffmpeg::openDecoder(input_.stream(streamIndex_))),
      packet_(ffmpeg::makePacket()),
      frame_(ffmpeg::makeFrame()),
      planar_(av_sample_fmt_is_planar(decoder_->sample_fmt)),
      channels_(decoder_->ch_layout.nb_channels),
      bytesPerSample_(av_get_bytes_per_sample(decoder_->sample_fmt)),
      pending_(planar_ ? channels_ : 1),
      delivered_(pending_.size())
{
}

mp3::PcmFormat FfmpegPcmReader::processingFormat() const
{
    return {static_cast<double>(decoder_->sample_rate), static_cast<std::uint32_t>(channels_), !planar_};
}

std::int64_t FfmpegPcmReader::lengthInFrames() const
{
    const AVStream* stream = input_.stream(streamIndex_);
    if (stream->duration != AV_NOPTS_VALUE)
        return av_rescale_q(stream->duration, stream->time_base, {1, decoder_->sample_rate});
    if (input_.context()->duration != AV_NOPTS_VALUE)
        return av_rescale_q(input_.context()->duration, AV_TIME_BASE_Q, {1, decoder_->sample_rate});
    return 0;
}

std::size_t FfmpegPcmReader::bytesPerFrameInPlane() const
{
    return static_cast<std::size_t>(bytesPerSample_) * (planar_ ? 1 : channels_);
}

std::size_t FfmpegPcmReader::pendingFrames() const
{
    return pending_.front().size() / bytesPerFrameInPlane();
}

mp3::PcmBuffer FfmpegPcmReader::read(std::uint32_t maxFrames)
{
    while (pendingFrames() < maxFrames && decodeMore()) { }
    const std::size_t frames = std::min<std::size_t>(maxFrames, pendingFrames());
    const std::size_t bytes = frames * bytesPerFrameInPlane();
    mp3::PcmBuffer buffer{layoutOf(decoder_->sample_fmt), {}, static_cast<std::uint32_t>(frames)};
    for (std::size_t plane = 0; plane < pending_.size(); ++plane) {
        auto& pending = pending_[plane];
        delivered_[plane].assign(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(bytes));
        pending.erase(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(bytes));
        buffer.channels.push_back(delivered_[plane].data());
    }
    return buffer;
}

bool FfmpegPcmReader::decodeMore()
{
    for (;;) {
        const int received = avcodec_receive_frame(decoder_.get(), frame_.get());
        if (received == 0)
            break;
        if (received == AVERROR_EOF)
            return false;
        if (received != AVERROR(EAGAIN))
            checkFfmpeg<MediaReadError>(received, "Decoding the audio");
        if (ended_)
            return false;
        const int read = av_read_frame(input_.context(), packet_.get());
        if (read == AVERROR_EOF) {
            ended_ = true;
            checkFfmpeg<MediaReadError>(avcodec_send_packet(decoder_.get(), nullptr), "Decoding the audio");
            continue;
        }
        checkFfmpeg<MediaReadError>(read, "Reading the audio");
        if (packet_->stream_index == streamIndex_)
            checkFfmpeg<MediaReadError>(avcodec_send_packet(decoder_.get(), packet_.get()), "Decoding the audio");
        av_packet_unref(packet_.get());
    }
    const std::size_t bytes = static_cast<std::size_t>(frame_->nb_samples) * bytesPerFrameInPlane();
    for (std::size_t plane = 0; plane < pending_.size(); ++plane)
        pending_[plane].insert(pending_[plane].end(), frame_->extended_data[plane], frame_->extended_data[plane] + bytes);
    av_frame_unref(frame_.get());
    return true;
}

} // namespace vantory
