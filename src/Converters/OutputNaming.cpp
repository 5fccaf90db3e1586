#include "Converters/OutputNaming.h"

#include "Platform/PathNames.h"

#include <QUuid>

namespace vantory::OutputNaming {

std::string stem(const std::filesystem::path& url)
{
    return nameWithoutExtension(url);
}

std::filesystem::path uniqueURL(const std::filesystem::path& folder, const std::string& stem, const std::string& ext)
{
    const std::string random = QUuid::createUuid().toString(QUuid::WithoutBraces).left(8).toLower().toStdString();
    return folder / (stem + "_" + random + "." + ext);
}

std::string normalize(const std::string& format)
{
    const std::string lower = lowercased(format);
    if (lower == "jpeg")
        return "jpg";
    if (lower == "heif")
        return "heic";
    if (lower == "tif")
        return "tiff";
    return lower;
}

} // namespace vantory::OutputNaming
