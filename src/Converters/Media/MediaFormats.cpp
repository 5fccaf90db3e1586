#include "Converters/Media/MediaFormats.h"

#include <set>

namespace vantory::MediaFormats {

const char* const allowedDemuxers = "mov,mp4,matroska,webm,avi,wav,w64,aiff,mp3,flac,ogg,aac,ac3,eac3,au,dts,voc,"
                                    "mpegts,mpeg,asf,flv,caf,amr,wv,ape,tta,dsf,dv,mxf,gsm";

bool readsExtension(const std::string& extension)
{
    // Each is opened by one of the demuxers above and converted by the tests.
    static const std::set<std::string> extensions = {
        // audio
        "aac", "adts", "ac3", "aif", "aifc", "aiff", "amr", "au", "caf", "dts", "flac", "gsm", "m4a", "m4b", "mka", "mp2",
        "mp3", "mpga", "oga", "ogg", "opus", "snd", "spx", "tta", "voc", "wav", "wma", "wv",
        // video
        "3g2", "3gp", "3gpp", "avi", "divx", "f4v", "flv", "m2t", "m2ts", "m4v", "mkv", "mov", "mp4", "mpe", "mpeg", "mpg",
        "mts", "ogv", "qt", "vob", "webm", "wmv"};
    return extensions.contains(extension);
}

} // namespace vantory::MediaFormats
