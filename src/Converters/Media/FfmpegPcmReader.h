#pragma once

#include "Converters/Media/FfmpegHandles.h"
#include "Converters/Media/MediaInput.h"
#include "mp3/Models/PcmReader.h"

#include <cstdint>
#include <filesystem>
#include <vector>

namespace vantory {

// The first audio stream of a media file, decoded, in the decoder's own sample format.
// Throws MediaReadError when the file cannot be opened, has no audio or cannot be decoded.
class FfmpegPcmReader final : public mp3::PcmReader {
public:
    explicit FfmpegPcmReader(const std::filesystem::path& file);

    mp3::PcmFormat processingFormat() const override;
    std::int64_t lengthInFrames() const override;
    mp3::PcmBuffer read(std::uint32_t maxFrames) override;

private:
    // Appends the next decoded frame to the pending samples; false at the end.
    bool decodeMore();
    std::size_t bytesPerFrameInPlane() const;
    std::size_t pendingFrames() const;

    MediaInput input_;
    int streamIndex_;
    ffmpeg::CodecContext decoder_;
    ffmpeg::Packet packet_;
    ffmpeg::Frame frame_;
    bool planar_;
    int channels_;
    int bytesPerSample_;
    bool ended_ = false;
    // Decoded but not yet delivered samples, one byte run per plane (one when interleaved).
    std::vector<std::vector<std::uint8_t>> pending_;
    std::vector<std::vector<std::uint8_t>> delivered_;
};

} // namespace vantory
