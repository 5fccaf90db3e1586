#include "Converters/OutputNaming.h"

#include "Platform/PathNames.h"
#include "Platform/Utf8Text.h"

#include <algorithm>

namespace vantory::OutputNaming {

std::string stem(const std::filesystem::path& url)
{
    return nameWithoutExtension(url);
}

namespace {

// "_" and eight hex digits.
constexpr std::size_t uniquePartSize = 9;

} // namespace

std::filesystem::path uniqueURL(const std::filesystem::path& folder, const std::string& stem, const std::string& ext)
{
    return folder / (stem + "_" + randomNamePart() + (ext.empty() ? "" : "." + ext));
}

std::filesystem::path uniqueURLBesideNamesake(const std::filesystem::path& folder, const std::string& name)
{
    const std::string ext = pathExtension(name);
    const std::size_t extSize = ext.empty() ? 0 : ext.size() + 1;
    const std::size_t longest = longestNameIn(folder);
    const std::size_t room = longest - std::min(longest, uniquePartSize + extSize);
    return uniqueURL(folder, std::string(utf8::prefix(nameWithoutExtension(name), room)), ext);
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
