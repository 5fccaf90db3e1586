#pragma once

#include "Converters/DispatchTable.h"

#include <filesystem>
#include <stop_token>
#include <string>

// The video actions: changing the container, compressing, and extracting the audio, with
// the source's tags and display rotation. Failures throw ConversionError: loadFailed when
// the source cannot be read, nothing in it decodes or its pictures are too large to
// decode, exportFailed (naming the source file) when the result cannot be written; a
// source cut short or damaged on the way gives what could be read. ConversionCancelled
// once `stop` is requested. Nothing empty or partial is left in the output folder.
namespace vantory::VideoProcessor {

// "convert_video", "compress_video" and "extract_audio" on the pooled lane; extraction
// without a chosen format makes M4A.
DispatchTable rows();

// stem.<target>: an unchanged copy when the source already has the target's extension;
// otherwise every stream copied into MP4, QuickTime or M4V (MP4 for any other target,
// under the target's extension), and, when the container refuses that, one re-encode at
// the highest quality instead.
void convertVideo(const std::filesystem::path& url, const std::string& targetFormat, const std::filesystem::path& outputFolder,
                  std::stop_token stop = {});

// stem.mp4, re-encoded as HEVC within 1920x1080, else as H.264 within 640x480; kept only
// when smaller than the source, otherwise alreadyOptimal. A source without video is
// loadFailed.
void compressVideo(const std::filesystem::path& url, const std::filesystem::path& outputFolder, std::stop_token stop = {});

// "mp3" and "wav" as AudioProcessor::convertAudio makes them; any other format: stem.m4a,
// the audio stream copied when M4A can hold it, else encoded as AAC.
void extractAudio(const std::filesystem::path& url, const std::filesystem::path& outputFolder, const std::string& format,
                  std::stop_token stop = {});

} // namespace vantory::VideoProcessor
