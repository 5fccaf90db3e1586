#include "Converters/Audio/AudioProcessor.h"

#include "Converters/ConversionCancelled.h"
#include "Converters/ConversionError.h"
#include "Converters/LibraryErrors.h"
#include "Converters/Media/FfmpegPcmReader.h"
#include "Converters/Media/MediaInput.h"
#include "Converters/Media/Mp3Tags.h"
#include "Converters/Media/Transcode.h"
#include "Converters/OutputFile.h"
#include "Converters/OutputNaming.h"
#include "Converters/UnchangedCopy.h"
#include "Models/ActionIds.h"
#include "Platform/AppTemporaryFolder.h"
#include "mp3/Wrappers/LameEncoder.h"

namespace vantory::AudioProcessor {

namespace {

using std::filesystem::path;

const TranscodeSettings wavSettings{"wav", std::nullopt, {"pcm_s16le"}};

const mp3::LameConfiguration mp3Configuration{mp3::LameSampleRate::chosenByLame(), mp3::LameBitrateMode::constant(192),
                                              mp3::LameQuality::nearBest};

path outputFor(const path& url, const path& outputFolder, const std::string& extension)
{
    return OutputNaming::uniqueURL(outputFolder, OutputNaming::stem(url), extension);
}

// Writes the source's audio to `destination` with `settings`.
void exportAudio(MediaInput& input, const path& destination, const TranscodeSettings& settings, std::stop_token stop)
{
    OutputFile output(destination, OutputFile::Mode::atomic);
    transcode(input, output.pathForLibrary(), settings, stop);
    output.commit();
}

void exportWAV(MediaInput& input, const path& destination, std::stop_token stop)
{
    if (input.firstStream(AVMEDIA_TYPE_AUDIO) < 0)
        throw ConversionError::noAudioTrack();
    exportAudio(input, destination, wavSettings, stop);
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

// The source's audio as WAV in a temporary file, then that encoded by LAME after an ID3
// tag with the source's tags. The WAV step is what makes any source encodable: LAME takes
// only one or two channels of plain PCM, and the encoder wrapper reads them from a file;
// the WAV export decodes whatever the source holds (any codec or container, a video's sound,
// more than two channels) into 16-bit interleaved PCM in mono or stereo, and a source that
// cannot be decoded fails there, before an MP3 file is begun.
void exportMP3(const path& url, const path& destination, std::stop_token stop)
{
    MediaInput input(url);
    const TemporaryFile wav("wav");
    exportWAV(input, wav.location(), stop);

    OutputFile output(destination, OutputFile::Mode::atomic);
    writeMp3Tags(input, output.pathForLibrary());
    const auto progress = std::make_shared<mp3::EncodingProgress>();
    const std::stop_callback cancelEncoding(stop, [progress] { progress->cancel(); });
    mp3::LameEncoder(std::make_unique<FfmpegPcmReader>(wav.location()), mp3Configuration, output.pathForLibrary(), progress)
        .encode();
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
    translatingLibraryErrors(url, [&] {
        const std::string target = OutputNaming::normalize(targetFormat);
        if (hasFormat(url, target)) {
            copyUnchanged(url, outputFor(url, outputFolder, target));
        } else if (target == "wav") {
            MediaInput input(url);
            exportWAV(input, outputFor(url, outputFolder, "wav"), stop);
        } else if (target == "mp3") {
            exportMP3(url, outputFor(url, outputFolder, "mp3"), stop);
        } else {
            exportM4A(url, outputFor(url, outputFolder, "m4a"), "M4A export failed", stop);
        }
    });
}

void exportM4A(const path& url, const path& destination, const std::string& reasonWithoutAudio, std::stop_token stop)
{
    translatingLibraryErrors(url, [&] {
        MediaInput input(url);
        if (input.firstStream(AVMEDIA_TYPE_AUDIO) < 0)
            throw ConversionError::exportFailed(url, reasonWithoutAudio);
        exportAudio(input, destination, m4aAudioSettings, stop);
    });
}

} // namespace vantory::AudioProcessor
