#pragma once

#include "mp3/Models/PcmBuffer.h"
#include "mp3/Wrappers/LameConfiguration.h"

#include <cstddef>

namespace vantory::mp3 {

// One configured LAME encoder for a source of one or two channels. Throws
// LameEncoderError when the source's format is outside what LAME takes or LAME refuses
// the settings.
class Lame {
public:
    Lame(const PcmFormat& source, const LameConfiguration& configuration);
    ~Lame();
    Lame(const Lame&) = delete;
    Lame& operator=(const Lame&) = delete;

    // The smallest output buffer that holds what one encode call of `frames` frames can
    // return, as LAME documents it.
    static std::size_t outputCapacityFor(std::size_t frames) { return frames * 5 / 4 + 7200; }

    // Encodes one buffer into `out`; returns the number of bytes written there.
    std::size_t encode(const PcmBuffer& buffer, unsigned char* out, std::size_t capacity);
    // The last bytes LAME holds back; returns their number.
    std::size_t flush(unsigned char* out, std::size_t capacity);

private:
    std::size_t checked(int result, const char* call) const;

    bool isInterleaved_;
    unsigned sourceChannelCount_;
    lame_global_struct* lame_ = nullptr;
};

} // namespace vantory::mp3
