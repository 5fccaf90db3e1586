#include "mp3/Wrappers/Lame.h"

#include "mp3/Wrappers/LameEncoderError.h"

#include <climits>
#include <cmath>
#include <lame/lame.h>
#include <string>

namespace vantory::mp3 {

namespace {

void requireSupported(const PcmFormat& source)
{
    if (!std::isfinite(source.sampleRate) || source.sampleRate < 1 || source.sampleRate > INT_MAX)
        throw LameEncoderError(LameEncoderError::Kind::unsupportedSourceFormat,
                               "The audio's sample rate cannot be encoded as MP3");
    if (source.channelCount < 1 || source.channelCount > 2)
        throw LameEncoderError(LameEncoderError::Kind::unsupportedSourceFormat,
                               "MP3 encoding takes one or two channels, not " + std::to_string(source.channelCount));
}

template <class Sample>
const Sample* samples(const void* channel)
{
    return static_cast<const Sample*>(channel);
}

} // namespace

Lame::Lame(const PcmFormat& source, const LameConfiguration& configuration)
    : isInterleaved_(source.isInterleaved),
      sourceChannelCount_(source.channelCount)
{
    requireSupported(source);
    lame_ = lame_init();
    if (!lame_)
        throw LameEncoderError(LameEncoderError::Kind::couldNotInitialiseEncoder, "The MP3 encoder could not be started");
    lame_set_in_samplerate(lame_, static_cast<int>(source.sampleRate));
    lame_set_out_samplerate(lame_, configuration.sampleRate.lameRepresentation());
    lame_set_quality(lame_, static_cast<int>(configuration.quality));
    lame_set_num_channels(lame_, static_cast<int>(sourceChannelCount_));
    configuration.bitrateMode.configure(lame_);
    if (lame_init_params(lame_) < 0) {
        lame_close(lame_);
        throw LameEncoderError(LameEncoderError::Kind::couldNotInitialiseEncoder,
                               "The MP3 encoder does not accept these settings for this audio");
    }
}

Lame::~Lame()
{
    lame_close(lame_);
}

std::size_t Lame::encode(const PcmBuffer& buffer, unsigned char* out, std::size_t capacity)
{
    if (!buffer.layout || buffer.channels.empty())
        throw LameEncoderError(LameEncoderError::Kind::couldNotReadChannelData,
                               "The audio's samples are of a type the MP3 encoder cannot read");
    const int frames = static_cast<int>(buffer.frameLength);
    const int size = static_cast<int>(capacity);
    // LAME's interleaved calls always read two channels, so one channel goes through the
    // planar call, where LAME reads only the left one.
    const bool interleavedPair = isInterleaved_ && sourceChannelCount_ == 2;
    const void* left = buffer.channels[0];
    const void* right = !isInterleaved_ && sourceChannelCount_ == 2 && buffer.channels.size() > 1 ? buffer.channels[1] : left;
    switch (*buffer.layout) {
    case SampleLayout::float32:
        if (interleavedPair)
            return checked(lame_encode_buffer_interleaved_ieee_float(lame_, samples<float>(left), frames, out, size),
                           "lame_encode_buffer_interleaved_ieee_float");
        return checked(lame_encode_buffer_ieee_float(lame_, samples<float>(left), samples<float>(right), frames, out, size),
                       "lame_encode_buffer_ieee_float");
    case SampleLayout::int16:
        if (interleavedPair)
            return checked(lame_encode_buffer_interleaved(lame_, const_cast<short*>(samples<short>(left)), frames, out, size),
                           "lame_encode_buffer_interleaved");
        return checked(lame_encode_buffer(lame_, samples<short>(left), samples<short>(right), frames, out, size),
                       "lame_encode_buffer");
    case SampleLayout::int32:
        if (interleavedPair)
            return checked(lame_encode_buffer_interleaved_int(lame_, samples<int>(left), frames, out, size),
                           "lame_encode_buffer_interleaved_int");
        return checked(lame_encode_buffer_int(lame_, samples<int>(left), samples<int>(right), frames, out, size),
                       "lame_encode_buffer_int");
    }
    return 0;
}

std::size_t Lame::flush(unsigned char* out, std::size_t capacity)
{
    return checked(lame_encode_flush(lame_, out, static_cast<int>(capacity)), "lame_encode_flush");
}

std::size_t Lame::checked(int result, const char* call) const
{
    if (result < 0)
        throw LameEncoderError(LameEncoderError::Kind::encodingFailed,
                               "The MP3 encoder failed (" + std::string(call) + " returned " + std::to_string(result) + ")");
    return static_cast<std::size_t>(result);
}

} // namespace vantory::mp3
