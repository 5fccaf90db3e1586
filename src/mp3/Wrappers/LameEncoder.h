#pragma once

#include "mp3/Models/EncodingProgress.h"
#include "mp3/Models/PcmReader.h"
#include "mp3/Wrappers/LameConfiguration.h"

#include <cstdint>
#include <filesystem>
#include <memory>

namespace vantory::mp3 {

// Encodes a PCM source into an MP3 file, one read of `frameCount` frames at a time. The
// MP3 bytes are appended to the destination. `progress` receives the frame counts and
// stops the encoding when cancelled: the destination is then removed and encode()
// returns normally. Failures throw LameEncoderError (or the reader's own error) and
// leave what was written for the caller to remove.
class LameEncoder {
public:
    static constexpr std::uint32_t frameCount = 8192;

    LameEncoder(std::unique_ptr<PcmReader> source, LameConfiguration configuration, std::filesystem::path destination,
                std::shared_ptr<EncodingProgress> progress);

    void encode();

private:
    std::unique_ptr<PcmReader> source_;
    LameConfiguration configuration_;
    std::filesystem::path destination_;
    std::shared_ptr<EncodingProgress> progress_;
};

} // namespace vantory::mp3
