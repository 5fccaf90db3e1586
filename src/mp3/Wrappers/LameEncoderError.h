#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

namespace vantory::mp3 {

// Why an MP3 encoding failed, in a sentence a user can read.
class LameEncoderError : public std::runtime_error {
public:
    enum class Kind {
        couldNotCreateOutputStream,
        couldNotWriteOutput,
        couldNotReadChannelData,
        unsupportedSourceFormat,
        couldNotInitialiseEncoder,
        encodingFailed,
    };

    LameEncoderError(Kind kind, const std::string& message) : std::runtime_error(message), kind_(kind) { }

    Kind kind() const { return kind_; }

private:
    Kind kind_;
};

} // namespace vantory::mp3
