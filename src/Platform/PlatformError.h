#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

namespace vantory {

// A failure of the system or of a library (a read, a parse, a write, a tool that cannot
// start), carried with its own description in one readable sentence. Processors turn
// library exceptions into this at their boundary so the user never reads a raw dump.
class PlatformError : public std::runtime_error {
public:
    explicit PlatformError(const std::string& description) : std::runtime_error(description) { }

    // The sentence for an errno value met while working on `path`.
    static PlatformError fromErrno(int error, const std::filesystem::path& path);
    // The sentence for a std::filesystem failure.
    static PlatformError from(const std::filesystem::filesystem_error& error);
};

} // namespace vantory
