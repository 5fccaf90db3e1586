#include "Converters/Media/Mp3Tags.h"

#include "Converters/Media/MediaInput.h"
#include "Converters/Media/MediaOutput.h"
#include "Converters/Media/StreamDetails.h"

namespace vantory {

void writeMp3Tags(const MediaInput& source, const std::filesystem::path& destination)
{
    MediaOutput output(destination, "mp3");
    // The muxer wants the MP3 stream the tag belongs to, with a rate; no frame of it is written.
    AVStream* stream = output.addStream();
    stream->codecpar->codec_type = AVMEDIA_TYPE_AUDIO;
    stream->codecpar->codec_id = AV_CODEC_ID_MP3;
    stream->codecpar->sample_rate = 44100;
    const int audio = source.firstStream(AVMEDIA_TYPE_AUDIO);
    copyFileTags(source.context(), output.context(), audio >= 0 ? source.stream(audio) : nullptr);
    output.writeHeader();
    output.finish();
}

} // namespace vantory
