#include "Converters/DispatchTable.h"

#include "Converters/ConversionError.h"

namespace vantory {

namespace {

// A row whose processor this build does not have yet: a clear failure, never a success.
FileOperation unavailable(const std::string& actionId, Lane lane = Lane::serial)
{
    return {lane, [actionId](const FileJob&) {
                throw ConversionError::unsupportedFormat("no processor for the action \"" + actionId + "\" in this build");
            }};
}

} // namespace

DispatchTable DispatchTable::standard()
{
    DispatchTable table;
    for (const char* id : {"convert_image", "compress_image", "remove_bg"})
        table.fileOperations[id] = unavailable(id);
    for (const char* id : {"extract_audio", "compress_video", "convert_video", "convert_audio"})
        table.fileOperations[id] = unavailable(id, Lane::pooled);
    return table;
}

} // namespace vantory
