#pragma once

#include "mp3/Models/PcmBuffer.h"

#include <cstdint>

namespace vantory::mp3 {

// A source of PCM frames in one fixed format. Read errors are thrown by the reader.
class PcmReader {
public:
    virtual ~PcmReader() = default;

    virtual PcmFormat processingFormat() const = 0;
    // The source's length as far as it is known; used for progress only.
    virtual std::int64_t lengthInFrames() const = 0;
    // Up to `maxFrames` next frames; a buffer of no frames means the source has ended.
    // The buffer stays valid until the next read.
    virtual PcmBuffer read(std::uint32_t maxFrames) = 0;
};

} // namespace vantory::mp3
