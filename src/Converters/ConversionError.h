#pragma once

#include <exception>
#include <filesystem>
#include <string>

namespace vantory {

// The one error type of conversions: a user-facing message and a diagnostic text per case.
class ConversionError : public std::exception {
public:
    enum class Kind {
        loadFailed,
        exportFailed,
        unsupportedFormat,
        requiresNewerOS,
        invalidDataStructure,
        noAudioTrack,
        noTextContent,
        noSubjectFound,
        backgroundRemovalUnavailable,
        incorrectPassword,
        encryptionFailed,
        alreadyOptimal,
        pictureTooLarge,
    };

    static ConversionError loadFailed(const std::filesystem::path& url);
    static ConversionError exportFailed(const std::filesystem::path& url, std::string reason);
    static ConversionError unsupportedFormat(std::string what);
    static ConversionError requiresNewerOS(std::string feature);
    static ConversionError invalidDataStructure(std::string what);
    static ConversionError noAudioTrack() { return ConversionError(Kind::noAudioTrack); }
    static ConversionError noTextContent() { return ConversionError(Kind::noTextContent); }
    static ConversionError noSubjectFound() { return ConversionError(Kind::noSubjectFound); }
    static ConversionError backgroundRemovalUnavailable() { return ConversionError(Kind::backgroundRemovalUnavailable); }
    static ConversionError incorrectPassword() { return ConversionError(Kind::incorrectPassword); }
    static ConversionError encryptionFailed() { return ConversionError(Kind::encryptionFailed); }
    static ConversionError alreadyOptimal() { return ConversionError(Kind::alreadyOptimal); }
    // `limit` says what the refused work takes at most, such as "at most 45 megapixels".
    static ConversionError pictureTooLarge(const std::filesystem::path& url, int width, int height, std::string limit);

    Kind kind() const { return kind_; }
    const std::filesystem::path& url() const { return url_; }
    const std::string& detail() const { return detail_; }

    // What the user reads.
    std::string errorDescription() const;
    // What the diagnostic line on standard output says.
    std::string debugDescription() const;

    const char* what() const noexcept override { return message_.c_str(); }

    bool operator==(const ConversionError& other) const
    {
        return kind_ == other.kind_ && url_ == other.url_ && detail_ == other.detail_;
    }

private:
    explicit ConversionError(Kind kind, std::filesystem::path url = {}, std::string detail = {});

    Kind kind_;
    std::filesystem::path url_;
    std::string detail_;
    std::string message_;
};

} // namespace vantory
