#pragma once

#include <cstdint>
#include <string>

// The audio and video files the media processors read.
namespace vantory::MediaFormats {

// FFmpeg's names of the containers MediaInput opens, comma-separated; every other
// demuxer stays closed.
extern const char* const allowedDemuxers;

// The longest side of a picture worth decoding: more than the encoders are useful for
// and than any camera writes. Larger pictures are refused before they are decoded, as
// decoding one alone takes gigabytes.
inline constexpr int largestPictureSide = 8192;
inline constexpr std::int64_t largestPicturePixels = std::int64_t{largestPictureSide} * largestPictureSide;

// Whether files with this extension (lower case, without the dot) are read and
// converted; every extension offered for an audio or video action is one of these.
bool readsExtension(const std::string& extension);

} // namespace vantory::MediaFormats
