#pragma once

#include "Platform/PlatformError.h"

#include <new>
#include <string>

extern "C" {
#include <libavutil/error.h>
}

namespace vantory {

// A failure of FFmpeg while writing: encoding, muxing, writing the file.
class MediaWriteError : public PlatformError {
public:
    using PlatformError::PlatformError;
};

// A failure of FFmpeg while reading the source: demuxing or decoding.
class MediaReadError : public PlatformError {
public:
    using PlatformError::PlatformError;
};

// FFmpeg's sentence for an error code.
std::string ffmpegErrorText(int code);

// Throws std::bad_alloc when `code` says FFmpeg ran out of memory, Error("<what>: <FFmpeg's
// sentence>") when it is another error; returns it otherwise.
template <class Error>
int checkFfmpeg(int code, const std::string& what)
{
    if (code == AVERROR(ENOMEM))
        throw std::bad_alloc();
    if (code < 0)
        throw Error(what + ": " + ffmpegErrorText(code));
    return code;
}

} // namespace vantory
