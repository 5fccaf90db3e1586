#include "Converters/DispatchTable.h"

#include "Converters/Archive/ArchiveProcessor.h"
#include "Converters/Audio/AudioProcessor.h"
#include "Converters/ConversionError.h"
#include "Converters/Data/DataFileProcessor.h"
#include "Converters/Pdf/PDFProcessor.h"
#include "Converters/Video/VideoProcessor.h"
#include "Models/ActionIds.h"

#include <stdexcept>

namespace vantory {

namespace {

// A row whose processor this build does not have yet: a clear failure, never a success.
FileOperation unavailable(const std::string& actionId, Lane lane = Lane::serial)
{
    return {lane, [actionId](const FileJob&) {
                throw ConversionError::unsupportedFormat("no processor for the action \"" + actionId + "\" in this build");
            }};
}

DispatchTable mediaRows()
{
    DispatchTable table;
    for (const char* id : {ActionIds::convertImage, ActionIds::compressImage, ActionIds::removeBackground})
        table.fileOperations[id] = unavailable(id);
    return table;
}

} // namespace

bool DispatchTable::hasRow(const std::string& actionId) const
{
    return fileOperations.contains(actionId) || wholeBatchOperations.contains(actionId);
}

void DispatchTable::join(DispatchTable other)
{
    const auto refuseClaimed = [this](const std::string& actionId) {
        if (hasRow(actionId))
            throw std::logic_error("two processors claim the action \"" + actionId + "\"");
    };
    for (const auto& row : other.fileOperations)
        refuseClaimed(row.first);
    for (const auto& row : other.wholeBatchOperations)
        refuseClaimed(row.first);
    fileOperations.merge(other.fileOperations);
    wholeBatchOperations.merge(other.wholeBatchOperations);
}

DispatchTable DispatchTable::standard()
{
    DispatchTable table = DataFileProcessor::rows();
    table.join(PDFProcessor::rows());
    table.join(ArchiveProcessor::rows());
    table.join(AudioProcessor::rows());
    table.join(VideoProcessor::rows());
    table.join(mediaRows());
    return table;
}

} // namespace vantory
