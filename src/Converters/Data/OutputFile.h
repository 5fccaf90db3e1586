#pragma once

#include <filesystem>
#include <string_view>
#include <vector>

namespace vantory::data {

// One new output file, written through a large buffer. Nothing is left behind unless
// commit() succeeds: a failed or abandoned write removes what it had written.
class OutputFile {
public:
    enum class Mode {
        // Created under its final name, never replacing an existing file.
        direct,
        // Written beside the destination under a hidden name, then renamed over it.
        atomic,
    };

    OutputFile(std::filesystem::path destination, Mode mode);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    void append(std::string_view bytes);
    void push_back(char byte)
    {
        if (used_ == buffer_.size())
            flush();
        buffer_[used_++] = byte;
    }

    // Writes what is buffered, closes, and (atomic mode) moves the file into place.
    // Throws PlatformError on failure.
    void commit();

    const std::filesystem::path& destination() const { return destination_; }

private:
    void flush();
    void writeFully(const char* bytes, std::size_t size);
    [[noreturn]] void fail(int error);

    std::filesystem::path destination_;
    std::filesystem::path writingPath_;
    Mode mode_;
    int fd_ = -1;
    std::vector<char> buffer_;
    std::size_t used_ = 0;
    bool committed_ = false;
};

} // namespace vantory::data
