#pragma once

#include <string>

// The audio and video files the media processors read.
namespace vantory::MediaFormats {

// FFmpeg's names of the containers MediaInput opens, comma-separated; every other
// demuxer stays closed.
extern const char* const allowedDemuxers;

// Whether files with this extension (lower case, without the dot) are read and
// converted; every extension offered for an audio or video action is one of these.
bool readsExtension(const std::string& extension);

} // namespace vantory::MediaFormats
