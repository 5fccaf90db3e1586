#include "Converters/Media/MediaInput.h"

#include "Converters/Media/FfmpegError.h"
#include "Converters/Media/FfmpegHandles.h"
#include "Converters/Media/MediaFormats.h"

#include <vector>

namespace vantory {

namespace {

struct Dictionary {
    AVDictionary* entries = nullptr;
    ~Dictionary() { av_dict_free(&entries); }
};

// Reading the streams' settings decodes their first frames: pictures too large to be
// worth decoding are refused there already.
int findStreamInfo(AVFormatContext* context)
{
    std::vector<AVDictionary*> perStream(context->nb_streams, nullptr);
    for (AVDictionary*& options : perStream)
        av_dict_set_int(&options, "max_pixels", MediaFormats::largestPicturePixels, 0);
    const int found = avformat_find_stream_info(context, perStream.data());
    for (AVDictionary*& options : perStream)
        av_dict_free(&options);
    return found;
}

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
    const int found = findStreamInfo(context_);
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
