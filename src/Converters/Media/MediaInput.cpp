#include "Converters/Media/MediaInput.h"

#include "Converters/Media/FfmpegError.h"
#include "Converters/Media/FfmpegHandles.h"
#include "Converters/Media/MediaFormats.h"

namespace vantory {

namespace {

struct Dictionary {
    AVDictionary* entries = nullptr;
    ~Dictionary() { av_dict_free(&entries); }
};

} // namespace

MediaInput::MediaInput(const std::filesystem::path& path)
{
    ffmpeg::silenceLog();
    Dictionary options;
    av_dict_set(&options.entries, "protocol_whitelist", "file", 0);
    av_dict_set(&options.entries, "format_whitelist", MediaFormats::allowedDemuxers, 0);
    const std::string url = "file:" + path.string();
    checkFfmpeg<MediaReadError>(avformat_open_input(&context_, url.c_str(), nullptr, &options.entries),
                                "Could not open " + path.filename().string());
    const int found = avformat_find_stream_info(context_, nullptr);
    if (found < 0) {
        avformat_close_input(&context_);
        checkFfmpeg<MediaReadError>(found, "Could not read the streams of " + path.filename().string());
    }
}

MediaInput::~MediaInput()
{
    avformat_close_input(&context_);
}

int MediaInput::firstStream(AVMediaType type) const
{
    for (unsigned i = 0; i < context_->nb_streams; ++i) {
        if (context_->streams[i]->codecpar->codec_type == type)
            return static_cast<int>(i);
    }
    return -1;
}

} // namespace vantory
