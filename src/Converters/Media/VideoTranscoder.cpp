#include "Converters/Media/VideoTranscoder.h"

#include "Converters/Media/FfmpegError.h"
#include "Converters/Media/MediaFormats.h"
#include "Converters/Media/StreamDetails.h"

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

// The stream, unless its pictures are too large to be worth decoding.
const AVStream* withUsefulPictureSize(const AVStream* input)
{
    constexpr int largest = MediaFormats::largestPictureSide;
    if (input->codecpar->width > largest || input->codecpar->height > largest)
        throw MediaReadError("The video's pictures are larger than " + std::to_string(largest) + " pixels a side");
    return input;
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

VideoTranscoder::VideoTranscoder(const AVStream* input, MediaOutput& output, const VideoEncoding& encoding,
                                 std::int64_t startOffset)
    : decoded_(withUsefulPictureSize(input), MediaFormats::largestPicturePixels),
      encoded_(encoding.encoder, output, "the video"),
      startOffset_(av_rescale_q(startOffset, AV_TIME_BASE_Q, input->time_base))
{
    AVCodecContext* encoder = encoded_.encoder();
    const PictureSize size = fittedSize(decoded_.decoder()->width, decoded_.decoder()->height, encoding);
    encoder->width = size.width;
    encoder->height = size.height;
    encoder->sample_aspect_ratio = decoded_.decoder()->sample_aspect_ratio;
    encoder->pix_fmt = AV_PIX_FMT_YUV420P;
    encoder->time_base = input->time_base;
    encoder->framerate = frameRateOf(input);
    av_opt_set(encoder->priv_data, "crf", std::to_string(encoding.crf).c_str(), 0);
    av_opt_set(encoder->priv_data, "x265-params", "log-level=none", 0); // x265 logs on its own otherwise
    encoded_.open();

    AVStream* stream = encoded_.stream();
    stream->codecpar->codec_tag = encoding.codecTag;
    stream->avg_frame_rate = encoder->framerate;
    stream->sample_aspect_ratio = encoder->sample_aspect_ratio;
    copyStreamTags(input, stream);
    copyDisplayMatrix(input, stream);
}

void VideoTranscoder::send(const AVPacket* packet)
{
    decoded_.send(packet, [this](const AVFrame& decoded) { encodeDecoded(decoded); });
}

void VideoTranscoder::finish()
{
    decoded_.finish([this](const AVFrame& decoded) { encodeDecoded(decoded); });
    encoded_.encode(nullptr);
}

void VideoTranscoder::encodeDecoded(const AVFrame& decoded)
{
    scaler_.reset(sws_getCachedContext(
        scaler_.release(), decoded.width, decoded.height, static_cast<AVPixelFormat>(decoded.format), encoded_.encoder()->width,
        encoded_.encoder()->height, encoded_.encoder()->pix_fmt, SWS_BICUBIC, nullptr, nullptr, nullptr));
    if (!scaler_)
        throw MediaWriteError("Could not scale the video's pictures");
    ffmpeg::Frame picture = ffmpeg::makeFrame();
    picture->format = encoded_.encoder()->pix_fmt;
    picture->width = encoded_.encoder()->width;
    picture->height = encoded_.encoder()->height;
    checkFfmpeg<MediaWriteError>(av_frame_get_buffer(picture.get(), 0), "Scaling the video");
    checkFfmpeg<MediaWriteError>(
        sws_scale(scaler_.get(), decoded.data, decoded.linesize, 0, decoded.height, picture->data, picture->linesize),
        "Scaling the video");
    // Encoders need rising timestamps; a missing or repeated one follows the last.
    std::int64_t pts = decoded.best_effort_timestamp;
    if (pts != AV_NOPTS_VALUE)
        pts -= startOffset_;
    if (lastPts_ != AV_NOPTS_VALUE && (pts == AV_NOPTS_VALUE || pts <= lastPts_))
        pts = lastPts_ + 1;
    else if (pts == AV_NOPTS_VALUE)
        pts = 0;
    lastPts_ = pts;
    picture->pts = pts;
    encoded_.encode(picture.get());
    ++framesWritten_;
}

} // namespace vantory
