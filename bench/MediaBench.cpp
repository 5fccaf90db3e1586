#include "BenchCommands.h"

#include "Converters/Audio/AudioProcessor.h"
#include "Converters/ConversionRouter.h"
#include "Converters/Video/VideoProcessor.h"
#include "Models/ActionIds.h"

#include <QEventLoop>
#include <stdexcept>

namespace {

using Inputs = std::vector<std::filesystem::path>;
using Folder = std::filesystem::path;

vantory::bench::Registration toMp3("convert_audio_mp3", [](const Inputs& inputs, const Folder& out) {
    for (const auto& input : inputs)
        vantory::AudioProcessor::convertAudio(input, "mp3", out);
});

vantory::bench::Registration toM4a("convert_audio_m4a", [](const Inputs& inputs, const Folder& out) {
    for (const auto& input : inputs)
        vantory::AudioProcessor::convertAudio(input, "m4a", out);
});

vantory::bench::Registration toMov("convert_video_mov", [](const Inputs& inputs, const Folder& out) {
    for (const auto& input : inputs)
        vantory::VideoProcessor::convertVideo(input, "mov", out);
});

vantory::bench::Registration compress("compress_video", [](const Inputs& inputs, const Folder& out) {
    for (const auto& input : inputs)
        vantory::VideoProcessor::compressVideo(input, out);
});

// Every input through the router as one batch, files in flight together.
void runBatch(const Inputs& inputs, const std::string& actionId, const std::optional<std::string>& target, const Folder& out)
{
    vantory::ConversionRouter router;
    QEventLoop loop;
    vantory::BatchResult result;
    router.convertBatch({inputs, actionId, target, std::nullopt, out}, &loop, {}, [&](vantory::BatchResult finished) {
        result = finished;
        loop.quit();
    });
    loop.exec();
    if (result.failures > 0)
        throw std::runtime_error(result.firstErrorMessage.value_or("a file failed"));
}

vantory::bench::Registration batchToMp3("batch_convert_audio_mp3", [](const Inputs& inputs, const Folder& out) {
    runBatch(inputs, vantory::ActionIds::convertAudio, "mp3", out);
});

vantory::bench::Registration batchCompress("batch_compress_video", [](const Inputs& inputs, const Folder& out) {
    runBatch(inputs, vantory::ActionIds::compressVideo, std::nullopt, out);
});

} // namespace
