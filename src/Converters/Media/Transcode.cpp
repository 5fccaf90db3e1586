#include "Converters/Media/Transcode.h"

#include "Converters/ConversionCancelled.h"
#include "Converters/Media/FfmpegError.h"
#include "Converters/Media/MediaInput.h"
#include "Converters/Media/MediaOutput.h"
#include "Converters/Media/StreamDetails.h"

#include <algorithm>
#include <initializer_list>
#include <memory>

namespace vantory {

namespace {

// The first video stream that is a moving picture, not a cover image.
int firstMovingVideo(const MediaInput& input)
{
    for (unsigned i = 0; i < input.context()->nb_streams; ++i) {
        const AVStream* stream = input.stream(static_cast<int>(i));
        if (stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO && !(stream->disposition & AV_DISPOSITION_ATTACHED_PIC))
            return static_cast<int>(i);
    }
    return -1;
}

// Reads the source's packets in order and hands each to `take`; stops at the end, which
// is also where the demuxers put the end of a file cut short.
template <class Take>
void readPackets(MediaInput& input, const std::stop_token& stop, Take take)
{
    ffmpeg::Packet packet = ffmpeg::makePacket();
    for (;;) {
        throwIfStopped(stop);
        const int read = av_read_frame(input.context(), packet.get());
        if (read == AVERROR_EOF)
            return;
        checkFfmpeg<MediaReadError>(read, "Reading the source");
        take(packet.get());
        av_packet_unref(packet.get());
    }
}

// The earliest start of the streams, in AV_TIME_BASE units; the output starts there.
std::int64_t earliestStart(const MediaInput& input, std::initializer_list<int> streams)
{
    std::int64_t earliest = AV_NOPTS_VALUE;
    for (const int index : streams) {
        const AVStream* stream = index >= 0 ? input.stream(index) : nullptr;
        if (!stream || stream->start_time == AV_NOPTS_VALUE)
            continue;
        const std::int64_t start = av_rescale_q(stream->start_time, stream->time_base, AV_TIME_BASE_Q);
        earliest = earliest == AV_NOPTS_VALUE ? start : std::min(earliest, start);
    }
    return earliest == AV_NOPTS_VALUE ? 0 : earliest;
}

} // namespace

void transcode(MediaInput& input, const std::filesystem::path& destination, const TranscodeSettings& settings,
                          std::stop_token stop)
{
    MediaOutput output(destination, settings.muxer);
    const int videoIndex = settings.video ? firstMovingVideo(input) : -1;
    const int audioIndex = input.firstStream(AVMEDIA_TYPE_AUDIO);
    if (videoIndex < 0 && audioIndex < 0)
        throw MediaReadError("The source has no stream to convert");
    // Streams keep their places against each other, as the source has them.
    const std::int64_t start = earliestStart(input, {videoIndex, audioIndex});
    std::unique_ptr<VideoTranscoder> video;
    std::unique_ptr<AudioTranscoder> audio;
    if (videoIndex >= 0)
        video = std::make_unique<VideoTranscoder>(input.stream(videoIndex), output, *settings.video, start);
    if (audioIndex >= 0)
        audio = std::make_unique<AudioTranscoder>(input.stream(audioIndex), output, settings.audio, start);
    copyFileTags(input.context(), output.context(), video || audioIndex < 0 ? nullptr : input.stream(audioIndex));

    output.writeHeader(settings.fastStart);
    readPackets(input, stop, [&](const AVPacket* packet) {
        if (video && packet->stream_index == videoIndex)
            video->send(packet);
        else if (audio && packet->stream_index == audioIndex)
            audio->send(packet);
    });
    std::int64_t written = 0; // pictures and samples
    if (video) {
        video->finish();
        written += video->framesWritten();
    }
    if (audio) {
        audio->finish();
        written += audio->samplesWritten();
    }
    if (written == 0)
        throw MediaReadError("Nothing in the source could be decoded");
    output.finish();
}

void copyStreams(MediaInput& input, const std::vector<int>& streams, const std::filesystem::path& destination, const char* muxer,
                 std::stop_token stop)
{
    MediaOutput output(destination, muxer);
    std::vector<int> outputIndex(input.context()->nb_streams, -1);
    for (const int index : streams) {
        const AVStream* source = input.stream(index);
        if (!output.accepts(source->codecpar->codec_id))
            throw MediaWriteError(std::string("The container cannot hold ") + avcodec_get_name(source->codecpar->codec_id));
        AVStream* copy = output.addStream();
        checkFfmpeg<MediaWriteError>(avcodec_parameters_copy(copy->codecpar, source->codecpar), "Copying a stream");
        copy->codecpar->codec_tag = 0; // the source container's tag may mean nothing in this one
        copy->time_base = source->time_base;
        copy->sample_aspect_ratio = source->sample_aspect_ratio;
        copyStreamTags(source, copy);
        copyAllSideData(source, copy);
        outputIndex[index] = copy->index;
    }
    copyFileTags(input.context(), output.context());
    output.writeHeader();
    std::int64_t copied = 0;
    readPackets(input, stop, [&](AVPacket* packet) {
        const auto source = static_cast<std::size_t>(packet->stream_index);
        const int target = source < outputIndex.size() ? outputIndex[source] : -1; // streams may appear late
        if (target < 0)
            return;
        AVStream* copy = output.context()->streams[target];
        av_packet_rescale_ts(packet, input.stream(packet->stream_index)->time_base, copy->time_base);
        packet->stream_index = target;
        packet->pos = -1;
        output.write(packet);
        ++copied;
    });
    if (copied == 0)
        throw MediaWriteError("The source holds no media data");
    output.finish();
}

} // namespace vantory
