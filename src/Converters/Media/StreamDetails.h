#pragma once

extern "C" {
#include <libavformat/avformat.h>
}

// What a converted file keeps of its source besides the samples: tags (dates, places,
// titles, artists) and the stream details players read, such as the display rotation.
namespace vantory {

// The source file's tags, and for an audio-only output also those its audio stream holds
// (Ogg and Opus keep their titles and artists there), less the source's encoder name: the
// muxer writes its own.
void copyFileTags(const AVFormatContext* source, AVFormatContext* copy, const AVStream* audioOfAudioOnlyOutput = nullptr);

// The stream's tags, less the source's encoder name.
void copyStreamTags(const AVStream* source, AVStream* copy);

// Every piece of the stream's side data, for a stream copied unchanged.
void copyAllSideData(const AVStream* source, AVStream* copy);

// The display matrix (how the picture is turned for showing), for a re-encoded picture
// that keeps the source's stored orientation.
void copyDisplayMatrix(const AVStream* source, AVStream* copy);

} // namespace vantory
