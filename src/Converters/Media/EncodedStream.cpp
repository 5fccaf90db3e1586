#include "Converters/Media/EncodedStream.h"

#include "Converters/Media/FfmpegError.h"
#include "Converters/Media/MediaOutput.h"

#include <new>
#include <string>

namespace vantory {

EncodedStream::EncodedStream(const char* encoderName, MediaOutput& output, const char* what)
    : output_(output),
      what_(what),
      codec_(avcodec_find_encoder_by_name(encoderName)),
      encoded_(ffmpeg::makePacket())
{
    if (!codec_)
        throw MediaWriteError(std::string("No encoder ") + encoderName);
    encoder_.reset(avcodec_alloc_context3(codec_));
    if (!encoder_)
        throw std::bad_alloc();
    encoder_->thread_count = 0; // as many as the encoder finds useful; libavcodec's default is one
}

void EncodedStream::open()
{
    if (output_.wantsGlobalHeader())
        encoder_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    checkFfmpeg<MediaWriteError>(avcodec_open2(encoder_.get(), codec_, nullptr), std::string("Opening the encoder of ") + what_);
    stream_ = output_.addStream();
    checkFfmpeg<MediaWriteError>(avcodec_parameters_from_context(stream_->codecpar, encoder_.get()),
                                 std::string("Setting up the stream of ") + what_);
    stream_->time_base = encoder_->time_base;
}

void EncodedStream::encode(const AVFrame* frame)
{
    const std::string encoding = std::string("Encoding ") + what_;
    checkFfmpeg<MediaWriteError>(avcodec_send_frame(encoder_.get(), frame), encoding);
    for (;;) {
        const int received = avcodec_receive_packet(encoder_.get(), encoded_.get());
        if (received == AVERROR(EAGAIN) || received == AVERROR_EOF)
            return;
        checkFfmpeg<MediaWriteError>(received, encoding);
        encoded_->stream_index = stream_->index;
        av_packet_rescale_ts(encoded_.get(), encoder_->time_base, stream_->time_base);
        output_.write(encoded_.get());
    }
}

} // namespace vantory
