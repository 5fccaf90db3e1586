#pragma once

#include "Converters/Media/FfmpegPcmReader.h"
#include "Platform/ProcessRunner.h"
#include "support/EnvironmentVariable.h"
#include "support/TempDir.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/display.h>
#include <libavutil/pixdesc.h>
}
#include <map>
#include <string>
#include <vector>

// Media files made at test time with the ffmpeg tool (tiny lavfi sources), and what
// FFmpeg reads in the files the processors wrote.
namespace vantory::test {

// Source files made on first use and kept for a suite: CTest runs each test in a process
// of its own, which then makes only what it reads.
class SourcesMadeOnFirstUse {
public:
    virtual ~SourcesMadeOnFirstUse() = default;

    std::filesystem::path operator/(const std::string& name)
    {
        const auto file = dir / name;
        if (!std::filesystem::exists(file))
            make(name, file);
        return file;
    }

protected:
    virtual void make(const std::string& name, const std::filesystem::path& file) = 0;

    TempDir dir;
};

// A media processor's tests: the suite's `Sources`, an output folder, and a temporary
// folder of its own as TMPDIR. Each Sources type has its own statics.
template <class Sources>
class MediaProcessorTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { sources = std::make_unique<Sources>(); }
    static void TearDownTestSuite() { sources.reset(); }

    static inline std::unique_ptr<Sources> sources;
    TempDir out;
    TempDir temporary;
    const EnvironmentVariable tmpdir{"TMPDIR", temporary.path()};
};

// ffmpeg -f lavfi ... `arguments` ... `file`; fails the test when ffmpeg fails.
inline std::filesystem::path makeMedia(const std::filesystem::path& file, std::vector<std::string> arguments)
{
    arguments.insert(arguments.begin(), {"-hide_banner", "-loglevel", "error", "-y"});
    arguments.push_back(file.string());
    ProcessOptions options;
    options.timeout = std::chrono::seconds(60);
    EXPECT_TRUE(runProcess("/usr/bin/ffmpeg", arguments, options).succeeded()) << "ffmpeg could not make " << file;
    return file;
}

// A sine tone of `seconds` at `rate` Hz with `channels` channels, in the container the
// file's extension names.
inline std::filesystem::path makeTone(const std::filesystem::path& file, double seconds = 0.3, int rate = 44100, int channels = 2,
                                      std::vector<std::string> codec = {})
{
    std::vector<std::string> arguments{
        "-f",  "lavfi",
        "-i",  "sine=frequency=440:sample_rate=" + std::to_string(rate) + ":duration=" + std::to_string(seconds),
        "-ac", std::to_string(channels)};
    arguments.insert(arguments.end(), codec.begin(), codec.end());
    return makeMedia(file, arguments);
}

// A small test picture clip with (unless `withAudio` is false) a tone.
inline std::filesystem::path makeClip(const std::filesystem::path& file, std::vector<std::string> videoCodec,
                                      bool withAudio = true, std::vector<std::string> audioCodec = {"-c:a", "aac"},
                                      const std::string& size = "64x48", double seconds = 0.4)
{
    std::vector<std::string> arguments{"-f", "lavfi", "-i",
                                       "testsrc=size=" + size + ":rate=10:duration=" + std::to_string(seconds)};
    if (withAudio) {
        for (const std::string& part : {std::string("-f"), std::string("lavfi"), std::string("-i"),
                                        "sine=frequency=440:duration=" + std::to_string(seconds)})
            arguments.push_back(part);
    }
    arguments.insert(arguments.end(), videoCodec.begin(), videoCodec.end());
    if (withAudio)
        arguments.insert(arguments.end(), audioCodec.begin(), audioCodec.end());
    return makeMedia(file, arguments);
}

using Tags = std::map<std::string, std::string>;

// Every entry of an FFmpeg dictionary.
inline Tags tagsOf(const AVDictionary* dictionary)
{
    Tags tags;
    const AVDictionaryEntry* entry = nullptr;
    while ((entry = av_dict_get(dictionary, "", entry, AV_DICT_IGNORE_SUFFIX)))
        tags[entry->key] = entry->value;
    return tags;
}

// The files one after the other in `file`, as `cat` joins them.
inline std::filesystem::path joined(const std::filesystem::path& file, const std::vector<std::filesystem::path>& parts)
{
    std::string bytes;
    for (const auto& part : parts)
        bytes += readFile(part);
    std::ofstream(file, std::ios::binary) << bytes;
    return file;
}

// The first `size` bytes of `whole`, as `file`: a file cut short.
inline std::filesystem::path cut(const std::filesystem::path& file, const std::filesystem::path& whole, std::size_t size)
{
    std::ofstream(file, std::ios::binary) << readFile(whole).substr(0, size);
    return file;
}

struct StreamInfo {
    std::string type;
    std::string codec;
    std::string tag; // four-character code as ffprobe prints it
    int channels = 0;
    int sampleRate = 0;
    int width = 0;
    int height = 0;
    std::string pixelFormat;
    double startTime = 0; // seconds
    double rotation = 0; // degrees, from the display matrix; 0 without one
};

struct MediaInfo {
    std::string formatName;
    std::string majorBrand;
    double duration = 0;
    std::vector<StreamInfo> streams;
    Tags tags;

    const StreamInfo* first(const std::string& type) const
    {
        for (const auto& stream : streams)
            if (stream.type == type)
                return &stream;
        return nullptr;
    }
};

inline MediaInfo probe(const std::filesystem::path& file)
{
    MediaInfo info;
    AVFormatContext* context = nullptr;
    if (avformat_open_input(&context, file.c_str(), nullptr, nullptr) < 0 || avformat_find_stream_info(context, nullptr) < 0) {
        avformat_close_input(&context);
        ADD_FAILURE() << "FFmpeg cannot read " << file;
        return info;
    }
    info.formatName = context->iformat->name;
    info.duration = context->duration == AV_NOPTS_VALUE ? 0 : context->duration / double(AV_TIME_BASE);
    if (const AVDictionaryEntry* brand = av_dict_get(context->metadata, "major_brand", nullptr, 0))
        info.majorBrand = brand->value;
    info.tags = tagsOf(context->metadata);
    for (unsigned i = 0; i < context->nb_streams; ++i) {
        const AVStream* stream = context->streams[i];
        const AVCodecParameters* p = stream->codecpar;
        char tag[AV_FOURCC_MAX_STRING_SIZE] = {};
        av_fourcc_make_string(tag, p->codec_tag);
        const char* pixelFormat = p->codec_type == AVMEDIA_TYPE_VIDEO ? av_get_pix_fmt_name(AVPixelFormat(p->format)) : nullptr;
        const double start = stream->start_time == AV_NOPTS_VALUE ? 0 : stream->start_time * av_q2d(stream->time_base);
        const auto* matrix =
            reinterpret_cast<const std::int32_t*>(av_stream_get_side_data(stream, AV_PKT_DATA_DISPLAYMATRIX, nullptr));
        info.streams.push_back({av_get_media_type_string(p->codec_type), avcodec_get_name(p->codec_id), tag,
                                p->ch_layout.nb_channels, p->sample_rate, p->width, p->height, pixelFormat ? pixelFormat : "",
                                start, matrix ? av_display_rotation_get(matrix) : 0});
    }
    avformat_close_input(&context);
    return info;
}

// The file's first audio stream decoded, one vector of samples (-1 to 1) per channel.
inline std::vector<std::vector<double>> decodedChannels(const std::filesystem::path& file)
{
    FfmpegPcmReader reader(file);
    const auto format = reader.processingFormat();
    std::vector<std::vector<double>> channels(format.channelCount);
    for (;;) {
        const mp3::PcmBuffer buffer = reader.read(8192);
        if (buffer.frameLength == 0)
            break;
        for (std::uint32_t frame = 0; frame < buffer.frameLength; ++frame) {
            for (std::uint32_t channel = 0; channel < format.channelCount; ++channel) {
                const std::size_t plane = format.isInterleaved ? 0 : channel;
                const std::size_t index = format.isInterleaved ? frame * format.channelCount + channel : frame;
                double value = 0;
                switch (buffer.layout.value()) {
                case mp3::SampleLayout::float32: value = static_cast<const float*>(buffer.channels[plane])[index]; break;
                case mp3::SampleLayout::int16:
                    value = static_cast<const std::int16_t*>(buffer.channels[plane])[index] / 32768.0;
                    break;
                case mp3::SampleLayout::int32:
                    value = static_cast<const std::int32_t*>(buffer.channels[plane])[index] / 2147483648.0;
                    break;
                }
                channels[channel].push_back(value);
            }
        }
    }
    return channels;
}

// The frequency of a channel, from the spacing of its rising crossings (with a margin, so
// that quiet noise counts for nothing).
inline double pitchOf(const std::vector<double>& samples, int rate)
{
    constexpr double margin = 0.03;
    std::vector<std::size_t> rises;
    bool below = false;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        if (samples[i] < -margin)
            below = true;
        else if (below && samples[i] > margin) {
            rises.push_back(i);
            below = false;
        }
    }
    if (rises.size() < 2)
        return 0;
    return static_cast<double>(rises.size() - 1) * rate / static_cast<double>(rises.back() - rises.front());
}

} // namespace vantory::test
