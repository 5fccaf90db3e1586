#include "mp3/Wrappers/LameEncoder.h"

#include "mp3/Wrappers/Lame.h"
#include "mp3/Wrappers/LameEncoderError.h"

#include <cstdio>
#include <memory>
#include <vector>

namespace vantory::mp3 {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using OutputStream = std::unique_ptr<std::FILE, FileCloser>;

OutputStream openForAppending(const std::filesystem::path& destination)
{
    OutputStream stream(std::fopen(destination.c_str(), "ab"));
    if (!stream)
        throw LameEncoderError(LameEncoderError::Kind::couldNotCreateOutputStream,
                               "Could not create the MP3 file " + destination.string());
    return stream;
}

void write(std::FILE* stream, const unsigned char* bytes, std::size_t size)
{
    if (size > 0 && std::fwrite(bytes, 1, size, stream) != size)
        throw LameEncoderError(LameEncoderError::Kind::couldNotWriteOutput, "Could not write the MP3 file");
}

void close(OutputStream stream)
{
    if (std::fclose(stream.release()) != 0)
        throw LameEncoderError(LameEncoderError::Kind::couldNotWriteOutput, "Could not write the MP3 file");
}

} // namespace

LameEncoder::LameEncoder(std::unique_ptr<PcmReader> source, LameConfiguration configuration, std::filesystem::path destination,
                         std::shared_ptr<EncodingProgress> progress)
    : source_(std::move(source)),
      configuration_(std::move(configuration)),
      destination_(std::move(destination)),
      progress_(std::move(progress))
{
}

void LameEncoder::encode()
{
    const PcmFormat format = source_->processingFormat();
    OutputStream stream = openForAppending(destination_);
    Lame lame(format, configuration_);
    std::vector<unsigned char> output(Lame::outputCapacityFor(frameCount));
    const std::int64_t length = source_->lengthInFrames();
    progress_->setTotalUnitCount(length);

    std::int64_t position = 0;
    while (!progress_->isCancelled()) {
        const PcmBuffer buffer = source_->read(frameCount);
        if (buffer.frameLength == 0) // the source ended, whatever length it announced
            break;
        position += buffer.frameLength;
        write(stream.get(), output.data(), lame.encode(buffer, output.data(), output.size()));
        progress_->setCompletedUnitCount(position);
    }
    if (position > 0 && !progress_->isCancelled())
        write(stream.get(), output.data(), lame.flush(output.data(), output.size()));
    close(std::move(stream));

    if (progress_->isCancelled()) {
        std::error_code ignored;
        std::filesystem::remove(destination_, ignored);
    }
}

} // namespace vantory::mp3
