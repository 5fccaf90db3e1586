#include "Converters/Image/ImageProcessor.h"

#include "Converters/ConversionError.h"
#include "Converters/RowAdapters.h"
#include "Models/ActionIds.h"

// The operations themselves live in ImageConversion.cpp and BackgroundRemoval.cpp.
namespace vantory::ImageProcessor {

DispatchTable rows()
{
    return {.fileOperations =
                {
                    {ActionIds::convertImage,
                     {Lane::serial,
                      [](const FileJob& job) {
                          if (!job.targetFormat)
                              throw ConversionError::unsupportedFormat("no target format");
                          convertFormat(job.url, *job.targetFormat, job.outputFolder, job.stop);
                      }}},
                    {ActionIds::compressImage, serialRow(compressImage)},
                    {ActionIds::removeBackground, serialRow(removeBackground)},
                },
            .wholeBatchOperations = {}};
}

} // namespace vantory::ImageProcessor
