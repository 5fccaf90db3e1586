#pragma once

#include <filesystem>

extern "C" {
#include <libavformat/avformat.h>
}

namespace vantory {

// A media file opened for reading. Only local files and a fixed list of container formats
// are opened: no playlists, no concatenation lists, no network, so a hostile file cannot
// make FFmpeg fetch a URL or read another file.
class MediaInput {
public:
    // Throws MediaReadError when the file cannot be opened or its streams cannot be read.
    explicit MediaInput(const std::filesystem::path& path);
    ~MediaInput();
    MediaInput(const MediaInput&) = delete;
    MediaInput& operator=(const MediaInput&) = delete;

    AVFormatContext* context() const { return context_; }
    // The index of the first stream of `type`, or -1.
    int firstStream(AVMediaType type) const;
    AVStream* stream(int index) const { return context_->streams[index]; }

private:
    AVFormatContext* context_ = nullptr;
};

} // namespace vantory
