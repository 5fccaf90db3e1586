#include "Converters/Media/VideoTranscoder.h"

#include "Converters/Media/FfmpegError.h"
#include "Converters/Media/MediaOutput.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <string>

extern "C" {
#include <libavutil/opt.h>
}

namespace vantory {

namespace {

int evenAtLeastTwo(double side)
{
    return std::max(2, static_cast<int>(std::lround(side)) & ~1);
}

AVRational frameRateOf(const AVStream* stream)
{
    if (stream->avg_frame_rate.num > 0 && stream->avg_frame_rate.den > 0)
        return stream->avg_frame_rate;
    if (stream->r_frame_rate.num > 0 && stream->r_frame_rate.den > 0)
        return stream->r_frame_rate;
    return {25, 1};
}

} // namespace

PictureSize fittedSize(int width, int height, const VideoEncoding& encoding)
{
    double scale = 1.0;
    if (encoding.maxLongSide > 0 && encoding.maxShortSide > 0 && width > 0 && height > 0) {
        const bool landscape = width >= height;
        const double boxWidth = landscape ? encoding.maxLongSide : encoding.maxShortSide;
        const double boxHeight = landscape ? encoding.maxShortSide : encoding.maxLongSide;
        scale = std::min({1.0, boxWidth / width, boxHeight / height});
    }
    return {evenAtLeastTwo(width * scale), evenAtLeastTwo(height * scale)};
}

VideoTranscoder::VideoTranscoder(const AVStream* input, MediaOutput& output, const VideoEncoding& encoding)
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
    const PictureSize size = fittedSize(decoder_->width, decoder_->height, encoding);
    encoder_->width = size.width;
    encoder_->height = size.height;
    encoder_->sample_aspect_ratio = decoder_->sample_aspect_ratio;
    encoder_->pix_fmt = AV_PIX_FMT_YUV420P;
    encoder_->time_base = input->time_base;
    encoder_->framerate = frameRateOf(input);
    if (output.wantsGlobalHeader())
        encoder_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    av_opt_set(encoder_->priv_data, "crf", std::to_string(encoding.crf).c_str(), 0);
    av_opt_set(encoder_->priv_data, "x265-params", "log-level=none", 0); // x265 logs on its own otherwise
    checkFfmpeg<MediaWriteError>(avcodec_open2(encoder_.get(), codec, nullptr), "Opening the video encoder");

    stream_ = output.addStream();
    checkFfmpeg<MediaWriteError>(avcodec_parameters_from_context(stream_->codecpar, encoder_.get()),
                                 "Setting up the video stream");
    stream_->codecpar->codec_tag = encoding.codecTag;
    stream_->time_base = encoder_->time_base;
    stream_->avg_frame_rate = encoder_->framerate;
    stream_->sample_aspect_ratio = encoder_->sample_aspect_ratio;
}

void VideoTranscoder::send(const AVPacket* packet)
{
    checkFfmpeg<MediaReadError>(avcodec_send_packet(decoder_.get(), packet), "Decoding the video");
    receiveDecoded();
}

void VideoTranscoder::finish()
{
    checkFfmpeg<MediaReadError>(avcodec_send_packet(decoder_.get(), nullptr), "Decoding the video");
    receiveDecoded();
    encode(nullptr);
}

void VideoTranscoder::receiveDecoded()
{
    for (;;) {
        const int received = avcodec_receive_frame(decoder_.get(), decoded_.get());
        if (received == AVERROR(EAGAIN) || received == AVERROR_EOF)
            return;
        checkFfmpeg<MediaReadError>(received, "Decoding the video");

        scaler_.reset(sws_getCachedContext(scaler_.release(), decoded_->width, decoded_->height,
                                           static_cast<AVPixelFormat>(decoded_->format), encoder_->width, encoder_->height,
                                           encoder_->pix_fmt, SWS_BICUBIC, nullptr, nullptr, nullptr));
        if (!scaler_)
            throw MediaWriteError("Could not scale the video's pictures");
        ffmpeg::Frame picture = ffmpeg::makeFrame();
        picture->format = encoder_->pix_fmt;
        picture->width = encoder_->width;
        picture->height = encoder_->height;
        checkFfmpeg<MediaWriteError>(av_frame_get_buffer(picture.get(), 0), "Scaling the video");
        checkFfmpeg<MediaWriteError>(
            sws_scale(scaler_.get(), decoded_->data, decoded_->linesize, 0, decoded_->height, picture->data, picture->linesize),
            "Scaling the video");
        // Encoders need rising timestamps; a missing or repeated one follows the last.
        std::int64_t pts = decoded_->best_effort_timestamp;
        if (lastPts_ != AV_NOPTS_VALUE && (pts == AV_NOPTS_VALUE || pts <= lastPts_))
            pts = lastPts_ + 1;
        else if (pts == AV_NOPTS_VALUE)
            pts = 0;
        lastPts_ = pts;
        picture->pts = pts;
        av_frame_unref(decoded_.get());
        encode(picture.get());
        ++framesWritten_;
    }
}

void VideoTranscoder::encode(const AVFrame* frame)
{
    checkFfmpeg<MediaWriteError>(avcodec_send_frame(encoder_.get(), frame), "Encoding the video");
    for (;;) {
        const int received = avcodec_receive_packet(encoder_.get(), encoded_.get());
        if (received == AVERROR(EAGAIN) || received == AVERROR_EOF)
            return;
        checkFfmpeg<MediaWriteError>(received, "Encoding the video");
        encoded_->stream_index = stream_->index;
        av_packet_rescale_ts(encoded_.get(), encoder_->time_base, stream_->time_base);
        output_.write(encoded_.get());
    }
}

} // namespace vantory
