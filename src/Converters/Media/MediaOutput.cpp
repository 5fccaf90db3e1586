#include "Converters/Media/MediaOutput.h"

#include "Converters/Media/FfmpegError.h"
#include "Converters/Media/FfmpegHandles.h"

#include <cstring>
#include <new>

namespace vantory {

namespace {

// How this system writes with each muxer.
AVDictionary* optionsFor(const AVOutputFormat* muxer, bool fastStart)
{
    AVDictionary* options = nullptr;
    if (fastStart)
        av_dict_set(&options, "movflags", "+faststart", 0);
    if (std::strcmp(muxer->name, "wav") == 0)
        av_dict_set(&options, "rf64", "auto", 0); // past 4 GiB the header says so, as RIFF sizes cannot
    if (std::strcmp(muxer->name, "mp3") == 0)
        av_dict_set(&options, "write_xing", "0", 0); // only the tags: LAME writes the frames
    return options;
}

} // namespace

MediaOutput::MediaOutput(const std::filesystem::path& path, const char* muxer) : url_("file:" + path.string())
{
    ffmpeg::silenceLog();
    // The muxer is named, so the file name only tells where to write (moving the index to
    // the front reopens the file by it).
    checkFfmpeg<MediaWriteError>(avformat_alloc_output_context2(&context_, nullptr, muxer, url_.c_str()),
                                 std::string("No muxer ") + muxer);
}

MediaOutput::~MediaOutput()
{
    if (context_->pb)
        avio_closep(&context_->pb);
    avformat_free_context(context_);
}

bool MediaOutput::accepts(AVCodecID codec) const
{
    return avformat_query_codec(context_->oformat, codec, FF_COMPLIANCE_NORMAL) == 1;
}

bool MediaOutput::wantsGlobalHeader() const
{
    return context_->oformat->flags & AVFMT_GLOBALHEADER;
}

AVStream* MediaOutput::addStream()
{
    AVStream* stream = avformat_new_stream(context_, nullptr);
    if (!stream)
        throw std::bad_alloc();
    return stream;
}

void MediaOutput::writeHeader(bool fastStart)
{
    checkFfmpeg<MediaWriteError>(avio_open(&context_->pb, url_.c_str(), AVIO_FLAG_WRITE), "Could not create the file");
    AVDictionary* options = optionsFor(context_->oformat, fastStart);
    const int written = avformat_write_header(context_, &options);
    av_dict_free(&options);
    checkFfmpeg<MediaWriteError>(written, "The container refused the streams");
}

void MediaOutput::write(AVPacket* packet)
{
    checkFfmpeg<MediaWriteError>(av_interleaved_write_frame(context_, packet), "Could not write the file");
}

void MediaOutput::finish()
{
    checkFfmpeg<MediaWriteError>(av_write_trailer(context_), "Could not finish the file");
    checkFfmpeg<MediaWriteError>(avio_closep(&context_->pb), "Could not write the file");
}

} // namespace vantory
