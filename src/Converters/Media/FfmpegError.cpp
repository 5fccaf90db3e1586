#include "Converters/Media/FfmpegError.h"

extern "C" {
#include <libavutil/error.h>
}

namespace vantory {

std::string ffmpegErrorText(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

} // namespace vantory
