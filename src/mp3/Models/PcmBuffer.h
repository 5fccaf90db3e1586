#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace vantory::mp3 {

// The sample types LAME takes directly.
enum class SampleLayout { float32, int16, int32 };

// How a source delivers its frames.
struct PcmFormat {
    double sampleRate = 0;
    std::uint32_t channelCount = 0;
    bool isInterleaved = true;
};

// One read of a source. An interleaved buffer has one pointer holding every channel in
// turn; a planar one has a pointer per channel. `layout` is empty when the samples are of
// a type LAME cannot take.
struct PcmBuffer {
    std::optional<SampleLayout> layout;
    std::vector<const void*> channels;
    std::uint32_t frameLength = 0;
};

} // namespace vantory::mp3
