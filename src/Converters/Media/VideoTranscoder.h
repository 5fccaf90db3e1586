#pragma once

#include "Converters/Media/DecodedStream.h"
#include "Converters/Media/EncodedStream.h"
#include "Converters/Media/FfmpegHandles.h"

#include <cstdint>

namespace vantory {

class MediaOutput;

struct VideoEncoding {
    const char* encoder; // FFmpeg's name: "libx264", "libx265"
    int crf;
    // The picture is fitted inside this box (turned to the picture's orientation), never
    // enlarged; 0 keeps the source's size.
    int maxLongSide = 0;
    int maxShortSide = 0;
    std::uint32_t codecTag = 0; // 0 lets the container choose
};

// Decodes one video stream and encodes it into a new stream of `output` as 8-bit 4:2:0
// pictures of even width and height, in the source's stored orientation with its display
// rotation kept. Timestamps follow the source's, less `startOffset` (in AV_TIME_BASE
// units). A stream whose pictures are larger than MediaFormats::largestPictureSide
// throws MediaReadError; encoder and writer errors throw MediaWriteError; damaged packets are
// skipped.
class VideoTranscoder {
public:
    // Adds the output stream; call before the output's header is written.
    VideoTranscoder(const AVStream* input, MediaOutput& output, const VideoEncoding& encoding, std::int64_t startOffset);

    void send(const AVPacket* packet);
    void finish();
    std::int64_t framesWritten() const { return framesWritten_; }

private:
    void encodeDecoded(const AVFrame& decoded);

    DecodedStream decoded_;
    EncodedStream encoded_;
    ffmpeg::Scaler scaler_;
    std::int64_t startOffset_; // in the source's time base
    std::int64_t lastPts_ = AV_NOPTS_VALUE;
    std::int64_t framesWritten_ = 0;
};

// The size a picture of `width` x `height` gets inside the encoding's box: never larger,
// proportions kept, both sides even and at least 2.
struct PictureSize {
    int width;
    int height;
};
PictureSize fittedSize(int width, int height, const VideoEncoding& encoding);

} // namespace vantory
