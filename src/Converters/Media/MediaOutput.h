#pragma once

#include <filesystem>
#include <string>

extern "C" {
#include <libavformat/avformat.h>
}

namespace vantory {

// A media file being written with a muxer named by the caller (never guessed from the
// file name). Errors throw MediaWriteError. A file not finished is left for its owner
// (an OutputFile) to remove.
class MediaOutput {
public:
    MediaOutput(const std::filesystem::path& path, const char* muxer);
    ~MediaOutput();
    MediaOutput(const MediaOutput&) = delete;
    MediaOutput& operator=(const MediaOutput&) = delete;

    AVFormatContext* context() const { return context_; }
    // Whether the container is known to hold streams of this codec.
    bool accepts(AVCodecID codec) const;
    // Whether encoders for this container must put their settings in a global header.
    bool wantsGlobalHeader() const;
    AVStream* addStream();

    // Opens the file and writes the header; the muxer may still refuse a stream here.
    void writeHeader(bool fastStart = false);
    // Writes one packet whose timestamps are in its stream's time base.
    void write(AVPacket* packet);
    void finish();

private:
    std::string url_;
    AVFormatContext* context_ = nullptr;
};

} // namespace vantory
