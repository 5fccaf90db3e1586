#include "Converters/Audio/AudioProcessor.h"

#include "Converters/ConversionCancelled.h"
#include "Converters/ConversionError.h"
#include "Converters/Media/FfmpegError.h"
#include "Converters/Media/FfmpegPcmReader.h"
#include "Converters/Media/MediaInput.h"
#include "Converters/Media/Transcode.h"
#include "Converters/OutputFile.h"
#include "Converters/OutputNaming.h"
#include "Converters/UnchangedCopy.h"
#include "Models/ActionIds.h"
#include "Platform/AppTemporaryFolder.h"
#include "mp3/Wrappers/LameEncoder.h"
#include "mp3/Wrappers/LameEncoderError.h"

namespace vantory::AudioProcessor {

namespace {

using std::filesystem::path;

const TranscodeSettings wavSettings{"wav", std::nullopt, {"pcm_s16le"}};

const mp3::LameConfiguration mp3Configuration{mp3::LameSampleRate::chosenByLame(), mp3::LameBitrateMode::constant(192),
                                              mp3::LameQuality::nearBest};

// Writes the source's audio to `destination` with `settings`; a failure after the source
// was opened, or a source without samples, is exportFailed with `reason`.
void exportAudio(const path& url, const path& destination, const TranscodeSettings& settings, const std::string& reason,
                 MediaInput& input, std::stop_token stop)
{
    OutputFile output(destination, OutputFile::Mode::atomic);
    TranscodeResult written;
    try {
        written = transcode(input, output.pathForLibrary(), settings, stop);
    } catch (const PlatformError& error) {
        throw ConversionError::exportFailed(url, error.what());
    }
    if (written.audioSamples == 0)
        throw ConversionError::exportFailed(url, reason);
    output.commit();
}

void exportM4A(const path& url, const path& outputFolder, std::stop_token stop)
{
    const path destination = OutputNaming::uniqueURL(outputFolder, OutputNaming::stem(url), "m4a");
    std::optional<MediaInput> input;
    try {
        input.emplace(url);
    } catch (const PlatformError& error) {
        throw ConversionError::exportFailed(url, error.what());
    }
    if (input->firstStream(AVMEDIA_TYPE_AUDIO) < 0)
        throw ConversionError::exportFailed(url, "M4A export failed");
    exportAudio(url, destination, m4aAudioSettings, "M4A export failed", *input, stop);
}

void exportWAV(const path& url, const path& destination, std::stop_token stop)
{
    MediaInput input(url);
    if (input.firstStream(AVMEDIA_TYPE_AUDIO) < 0)
        throw ConversionError::noAudioTrack();
    exportAudio(url, destination, wavSettings, "WAV export failed", input, stop);
}

// A file in the app's temporary folder, removed when this goes out of scope.
class TemporaryFile {
public:
    explicit TemporaryFile(const std::string& extension)
        : path_(OutputNaming::uniqueURL(AppTemporaryFolder::ensure(), "audio", extension))
    {
    }
    ~TemporaryFile()
    {
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    const path& location() const { return path_; }

private:
    path path_;
};

void exportMP3(const path& url, const path& outputFolder, std::stop_token stop)
{
    const TemporaryFile wav("wav");
    exportWAV(url, wav.location(), stop);

    OutputFile output(OutputNaming::uniqueURL(outputFolder, OutputNaming::stem(url), "mp3"), OutputFile::Mode::atomic);
    const auto progress = std::make_shared<mp3::EncodingProgress>();
    const std::stop_callback cancelEncoding(stop, [progress] { progress->cancel(); });
    try {
        mp3::LameEncoder(std::make_unique<FfmpegPcmReader>(wav.location()), mp3Configuration, output.pathForLibrary(), progress)
            .encode();
    } catch (const mp3::LameEncoderError& error) {
        throw ConversionError::exportFailed(url, error.what());
    }
    if (progress->isCancelled())
        throw ConversionCancelled{};
    output.commit();
}

} // namespace

DispatchTable rows()
{
    return {
        .fileOperations =
            {
                {ActionIds::convertAudio,
                 {Lane::pooled,
                  [](const FileJob& job) { convertAudio(job.url, job.targetFormat.value_or(""), job.outputFolder, job.stop); }}},
            },
        .wholeBatchOperations = {}};
}

void convertAudio(const path& url, const std::string& targetFormat, const path& outputFolder, std::stop_token stop)
{
    const std::string target = OutputNaming::normalize(targetFormat);
    if (hasFormat(url, target)) {
        copyUnchanged(url, OutputNaming::uniqueURL(outputFolder, OutputNaming::stem(url), target));
        return;
    }
    if (target == "wav")
        exportWAV(url, OutputNaming::uniqueURL(outputFolder, OutputNaming::stem(url), "wav"), stop);
    else if (target == "mp3")
        exportMP3(url, outputFolder, stop);
    else
        exportM4A(url, outputFolder, stop);
}

} // namespace vantory::AudioProcessor
