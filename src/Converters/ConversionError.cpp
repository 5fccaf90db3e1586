#include "Converters/ConversionError.h"

#include "Platform/PathNames.h"

namespace vantory {

ConversionError::ConversionError(Kind kind, std::filesystem::path url, std::string detail)
    : kind_(kind),
      url_(std::move(url)),
      detail_(std::move(detail)),
      message_(errorDescription())
{
}

ConversionError ConversionError::loadFailed(const std::filesystem::path& url)
{
    return ConversionError(Kind::loadFailed, url);
}

ConversionError ConversionError::exportFailed(const std::filesystem::path& url, std::string reason)
{
    return ConversionError(Kind::exportFailed, url, std::move(reason));
}

ConversionError ConversionError::unsupportedFormat(std::string what)
{
    return ConversionError(Kind::unsupportedFormat, {}, std::move(what));
}

ConversionError ConversionError::requiresNewerOS(std::string feature)
{
    return ConversionError(Kind::requiresNewerOS, {}, std::move(feature));
}

ConversionError ConversionError::invalidDataStructure(std::string what)
{
    return ConversionError(Kind::invalidDataStructure, {}, std::move(what));
}

ConversionError ConversionError::pictureTooLarge(const std::filesystem::path& url, int width, int height, std::string limit)
{
    return ConversionError(Kind::pictureTooLarge, url,
                           std::to_string(width) + " \u00D7 " + std::to_string(height) + " pixels; " + std::move(limit));
}

std::string ConversionError::errorDescription() const
{
    switch (kind_) {
    case Kind::loadFailed: return "Could not open the file";
    case Kind::exportFailed: return "Could not save the converted file";
    case Kind::unsupportedFormat: return "This format is not supported";
    case Kind::requiresNewerOS: return detail_ + " requires a newer version of this system";
    case Kind::invalidDataStructure: return "The file structure is not compatible with this conversion";
    case Kind::noAudioTrack: return "This video does not contain an audio track";
    case Kind::noTextContent: return "No text content found in this file";
    case Kind::noSubjectFound: return "Could not detect a subject in this image";
    case Kind::backgroundRemovalUnavailable: return "Background removal is not available on this system";
    case Kind::incorrectPassword: return "Incorrect password";
    case Kind::encryptionFailed: return "Could not protect the file";
    case Kind::alreadyOptimal: return "File is already as small as possible";
    case Kind::pictureTooLarge: return "This picture is too large to process (" + detail_ + ")";
    }
    return "Conversion failed";
}

std::string ConversionError::debugDescription() const
{
    switch (kind_) {
    case Kind::loadFailed: return "Failed to load: " + url_.string();
    case Kind::exportFailed: return "Export failed (" + lastPathComponent(url_) + "): " + detail_;
    case Kind::unsupportedFormat: return "Unsupported format: " + detail_;
    case Kind::requiresNewerOS: return "Requires newer OS: " + detail_;
    case Kind::invalidDataStructure: return "Invalid data structure: " + detail_;
    case Kind::noAudioTrack: return "No audio track in media asset";
    case Kind::noTextContent: return "No extractable text content";
    case Kind::noSubjectFound: return "Foreground mask request returned no results";
    case Kind::backgroundRemovalUnavailable: return "Foreground mask unavailable on this system";
    case Kind::incorrectPassword: return "Password validation failed";
    case Kind::encryptionFailed: return "Encryption/password protection failed";
    case Kind::alreadyOptimal: return "Compression produced a larger file than the original";
    case Kind::pictureTooLarge: return "Picture too large: " + url_.string() + " (" + detail_ + ")";
    }
    return "Unknown conversion error";
}

} // namespace vantory
