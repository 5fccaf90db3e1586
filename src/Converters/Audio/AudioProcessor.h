#pragma once

#include "Converters/DispatchTable.h"

#include <filesystem>
#include <stop_token>
#include <string>

// Converting audio, or the audio of any media file, to M4A, WAV or MP3. Failures throw
// ConversionError for what it names (exportFailed with the source file, noAudioTrack) and
// PlatformError for a source that cannot be read; ConversionCancelled once `stop` is
// requested. Nothing empty or partial is left in the output folder.
namespace vantory::AudioProcessor {

// "convert_audio" on the pooled lane.
DispatchTable rows();

// stem.<target>: an unchanged copy when the source already has the target's extension;
// "wav": 16-bit PCM at the source's rate, mono kept, more channels mixed to stereo;
// "mp3": constant 192 kb/s; any other target (normally "m4a"): AAC 256 kb/s in M4A.
void convertAudio(const std::filesystem::path& url, const std::string& targetFormat, const std::filesystem::path& outputFolder,
                  std::stop_token stop = {});

} // namespace vantory::AudioProcessor
