#include "Converters/DispatchTable.h"

#include "Converters/Archive/ArchiveProcessor.h"
#include "Converters/Audio/AudioProcessor.h"
#include "Converters/Data/DataFileProcessor.h"
#include "Converters/Image/ImageProcessor.h"
#include "Converters/Pdf/PDFProcessor.h"
#include "Converters/Video/VideoProcessor.h"

#include <stdexcept>

namespace vantory {

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
    table.join(ImageProcessor::rows());
    table.join(AudioProcessor::rows());
    table.join(VideoProcessor::rows());
    return table;
}

} // namespace vantory
