#include "Converters/Media/StreamDetails.h"

#include <cstdint>
#include <cstring>
#include <new>

namespace vantory {

namespace {

constexpr const char* encoderTag = "encoder";

void copyTags(const AVDictionary* source, AVDictionary** copy)
{
    if (av_dict_copy(copy, source, AV_DICT_DONT_OVERWRITE) < 0)
        throw std::bad_alloc();
    av_dict_set(copy, encoderTag, nullptr, 0);
}

void copySideData(const AVPacketSideData& data, AVStream* copy)
{
    std::uint8_t* bytes = av_stream_new_side_data(copy, data.type, data.size);
    if (!bytes)
        throw std::bad_alloc();
    std::memcpy(bytes, data.data, data.size);
}

} // namespace

void copyFileTags(const AVFormatContext* source, AVFormatContext* copy, const AVStream* audioOfAudioOnlyOutput)
{
    copyTags(source->metadata, &copy->metadata);
    if (audioOfAudioOnlyOutput)
        copyTags(audioOfAudioOnlyOutput->metadata, &copy->metadata);
}

void copyStreamTags(const AVStream* source, AVStream* copy)
{
    copyTags(source->metadata, &copy->metadata);
}

void copyAllSideData(const AVStream* source, AVStream* copy)
{
    for (int i = 0; i < source->nb_side_data; ++i)
        copySideData(source->side_data[i], copy);
}

void copyDisplayMatrix(const AVStream* source, AVStream* copy)
{
    for (int i = 0; i < source->nb_side_data; ++i) {
        if (source->side_data[i].type == AV_PKT_DATA_DISPLAYMATRIX)
            copySideData(source->side_data[i], copy);
    }
}

} // namespace vantory
