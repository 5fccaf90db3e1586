#include "Converters/UnchangedCopy.h"

#include "Converters/OutputFile.h"
#include "Converters/OutputNaming.h"
#include "Platform/PlatformError.h"

namespace vantory {

bool hasFormat(const std::filesystem::path& file, const std::string& format)
{
    const std::string extension = file.extension().string();
    return OutputNaming::normalize(extension.empty() ? "" : extension.substr(1)) == format;
}

void copyUnchanged(const std::filesystem::path& source, const std::filesystem::path& destination)
{
    OutputFile output(destination, OutputFile::Mode::atomic);
    try {
        std::filesystem::copy_file(source, output.pathForLibrary());
    } catch (const std::filesystem::filesystem_error& error) {
        throw PlatformError::from(error);
    }
    output.commit();
}

} // namespace vantory
