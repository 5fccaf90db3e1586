#include "Converters/Video/VideoProcessor.h"

#include "Converters/Audio/AudioProcessor.h"
#include "Converters/ConversionCancelled.h"
#include "Converters/ConversionError.h"
#include "Converters/LibraryErrors.h"
#include "Converters/Media/FfmpegError.h"
#include "Converters/Media/MediaInput.h"
#include "Converters/Media/Transcode.h"
#include "Converters/OutputFile.h"
#include "Converters/OutputNaming.h"
#include "Converters/UnchangedCopy.h"
#include "Models/ActionIds.h"

#include <cstdint>
#include <numeric>
#include <vector>

namespace vantory::VideoProcessor {

namespace {

using std::filesystem::path;

constexpr std::uint32_t hvc1Tag = MKTAG('h', 'v', 'c', '1');

// The container for a target; "ipod" is the M4V flavour of MP4.
const char* muxerFor(const std::string& target)
{
    if (target == "mov")
        return "mov";
    if (target == "m4v")
        return "ipod";
    return "mp4";
}

TranscodeSettings highestQuality(const char* muxer)
{
    return {muxer, VideoEncoding{"libx264", 18}, {"aac", 256'000}};
}

// The compression settings, in the order tried.
const TranscodeSettings compressionSettings[] = {
    {"mp4", VideoEncoding{"libx265", 28, 1920, 1080, hvc1Tag}, {"aac", 160'000}, true},
    {"mp4", VideoEncoding{"libx264", 28, 640, 480}, {"aac", 128'000}, true},
};

path outputFor(const path& url, const path& outputFolder, const std::string& extension)
{
    return OutputNaming::uniqueURL(outputFolder, OutputNaming::stem(url), extension);
}

// Every stream copied unchanged; throws MediaWriteError when the container refuses one.
void remux(const path& url, const path& destination, const char* muxer, std::stop_token stop)
{
    MediaInput input(url);
    if (input.context()->nb_streams == 0)
        throw MediaWriteError("No tracks found");
    std::vector<int> streams(input.context()->nb_streams);
    std::iota(streams.begin(), streams.end(), 0);
    OutputFile output(destination, OutputFile::Mode::atomic);
    copyStreams(input, streams, output.pathForLibrary(), muxer, stop);
    output.commit();
}

void reencode(const path& url, const path& destination, const TranscodeSettings& settings, std::stop_token stop)
{
    OutputFile output(destination, OutputFile::Mode::atomic);
    MediaInput input(url);
    transcode(input, output.pathForLibrary(), settings, stop);
    output.commit();
}

std::uintmax_t sizeOf(const path& file)
{
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(file, error);
    return error ? 0 : size;
}

// Throws loadFailed unless the source has a video stream.
void requireVideo(const path& url)
{
    const MediaInput input(url);
    if (input.firstStream(AVMEDIA_TYPE_VIDEO) < 0)
        throw ConversionError::loadFailed(url);
}

// The source's audio stream copied into M4A; false when there is none or M4A refuses it.
bool passThroughAudio(const path& url, const path& destination, std::stop_token stop)
{
    MediaInput input(url);
    const int audio = input.firstStream(AVMEDIA_TYPE_AUDIO);
    if (audio < 0)
        return false;
    try {
        OutputFile output(destination, OutputFile::Mode::atomic);
        copyStreams(input, {audio}, output.pathForLibrary(), "ipod", stop);
        output.commit();
        return true;
    } catch (const MediaWriteError&) {
        return false;
    }
}

} // namespace

DispatchTable rows()
{
    return {
        .fileOperations =
            {
                {ActionIds::convertVideo,
                 {Lane::pooled,
                  [](const FileJob& job) { convertVideo(job.url, job.targetFormat.value_or(""), job.outputFolder, job.stop); }}},
                {ActionIds::compressVideo,
                 {Lane::pooled, [](const FileJob& job) { compressVideo(job.url, job.outputFolder, job.stop); }}},
                {ActionIds::extractAudio,
                 {Lane::pooled,
                  [](const FileJob& job) {
                      extractAudio(job.url, job.outputFolder, job.targetFormat.value_or("m4a"), job.stop);
                  }}},
            },
        .wholeBatchOperations = {}};
}

void convertVideo(const path& url, const std::string& targetFormat, const path& outputFolder, std::stop_token stop)
{
    translatingLibraryErrors(url, [&] {
        const std::string target = OutputNaming::normalize(targetFormat);
        if (hasFormat(url, target)) {
            copyUnchanged(url, outputFor(url, outputFolder, target));
            return;
        }
        const char* muxer = muxerFor(target);
        try {
            remux(url, outputFor(url, outputFolder, target), muxer, stop);
            return;
        } catch (const MediaWriteError&) {
            // The container cannot hold the streams as they are: re-encode.
        }
        throwIfStopped(stop);
        reencode(url, outputFor(url, outputFolder, target), highestQuality(muxer), stop);
    });
}

void compressVideo(const path& url, const path& outputFolder, std::stop_token stop)
{
    translatingLibraryErrors(url, [&] {
        requireVideo(url);
        const std::uintmax_t originalSize = sizeOf(url);
        for (const TranscodeSettings& settings : compressionSettings) {
            OutputFile output(outputFor(url, outputFolder, "mp4"), OutputFile::Mode::atomic);
            const path written = output.pathForLibrary();
            try {
                MediaInput input(url);
                transcode(input, written, settings, stop);
            } catch (const MediaWriteError&) {
                continue; // these settings cannot make this file: the next ones may
            }
            const std::uintmax_t size = sizeOf(written);
            if (size > 0 && size < originalSize) {
                output.commit();
                return;
            }
        }
        throw ConversionError::alreadyOptimal();
    });
}

void extractAudio(const path& url, const path& outputFolder, const std::string& format, std::stop_token stop)
{
    translatingLibraryErrors(url, [&] {
        const std::string target = OutputNaming::normalize(format);
        if (target == "mp3" || target == "wav") {
            AudioProcessor::convertAudio(url, target, outputFolder, stop);
            return;
        }
        if (passThroughAudio(url, outputFor(url, outputFolder, "m4a"), stop))
            return;
        throwIfStopped(stop);
        AudioProcessor::exportM4A(url, outputFor(url, outputFolder, "m4a"), "Audio extraction failed", stop);
    });
}

} // namespace vantory::VideoProcessor
