#pragma once

#include "Converters/Media/AudioTranscoder.h"
#include "Converters/Media/VideoTranscoder.h"

#include <filesystem>
#include <optional>
#include <stop_token>
#include <vector>

namespace vantory {

class MediaInput;

struct TranscodeSettings {
    const char* muxer; // FFmpeg's name: "mp4", "mov", "ipod", "wav"
    std::optional<VideoEncoding> video; // none: the output has no video
    AudioEncoding audio;
    bool fastStart = false; // the index at the front, for playing while loading
};

// Audio only, as AAC at 256 kbit/s in an M4A file.
inline const TranscodeSettings m4aAudioSettings{"ipod", std::nullopt, {"aac", 256'000}};

// Re-encodes the source's first video stream (when `settings.video` asks for one) and its
// first audio stream into `destination`, with the source's tags; other streams are left
// out. The earliest of the two starts at 0, the other keeps its distance. A source cut
// short gives what was read; damaged packets are skipped. Throws MediaReadError when
// there is nothing to convert or nothing decodes, MediaWriteError, and
// ConversionCancelled once `stop` is requested.
void transcode(MediaInput& input, const std::filesystem::path& destination, const TranscodeSettings& settings,
                          std::stop_token stop);

// Copies the packets of the listed streams unchanged into `destination`, with the tags
// and the stream details (such as the display rotation) of the source. A source cut
// short gives what was read. Throws MediaWriteError when the container refuses one of
// the streams or nothing was copied, and ConversionCancelled once `stop` is requested.
void copyStreams(MediaInput& input, const std::vector<int>& streams, const std::filesystem::path& destination, const char* muxer,
                 std::stop_token stop);

} // namespace vantory
