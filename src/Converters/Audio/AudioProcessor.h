#pragma once

#include "Converters/DispatchTable.h"

#include <filesystem>
#include <stop_token>
#include <string>

// Converting audio, or the audio of any media file, to M4A, WAV or MP3, with the source's
// tags. Failures throw ConversionError: loadFailed when the source cannot be read or
// nothing in it decodes, exportFailed (with the source file) when the result cannot be
// written, noAudioTrack; a source cut short or damaged on the way gives what could be
// decoded. ConversionCancelled once `stop` is requested. Nothing empty or partial is left
// in the output folder.
namespace vantory::AudioProcessor {

// "convert_audio" on the pooled lane.
DispatchTable rows();

// stem.<target>: an unchanged copy when the source already has the target's extension;
// "wav": 16-bit PCM at the source's rate, mono kept, more channels mixed to stereo (RF64
// past 4 GiB); "mp3": constant 192 kb/s; any other target (normally "m4a"): AAC 256 kb/s
// in M4A.
void convertAudio(const std::filesystem::path& url, const std::string& targetFormat, const std::filesystem::path& outputFolder,
                  std::stop_token stop = {});

// The one M4A export: the first audio stream of `url` as AAC 256 kb/s in `destination`;
// exportFailed(url, reasonWithoutAudio) when the source has no audio.
void exportM4A(const std::filesystem::path& url, const std::filesystem::path& destination, const std::string& reasonWithoutAudio,
               std::stop_token stop = {});

} // namespace vantory::AudioProcessor
