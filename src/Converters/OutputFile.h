#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <string_view>

namespace vantory {

// One new output file, written through a large buffer. Nothing is left behind unless
// commit() succeeds: a failed or abandoned write removes what it had written. Errors
// are PlatformErrors naming the final path.
class OutputFile {
public:
    enum class Mode {
        // Created at once under its final name, never replacing an existing file.
        direct,
        // Written beside the final name under a hidden one, created at the first
        // write, and moved to the final name by commit().
        atomic,
    };

    static constexpr std::size_t bufferSize = 1 << 20;

    OutputFile(std::filesystem::path finalPath, Mode mode);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    const std::filesystem::path& finalPath() const { return finalPath_; }

    // Hands the file over to a library that writes it itself, by path: the returned
    // path is where it should write, and commit() then moves that into place. Not to
    // be mixed with append() or push_back().
    const std::filesystem::path& pathForLibrary();

    void append(std::string_view bytes);
    void push_back(char byte)
    {
        if (used_ == bufferSize)
            flush();
        buffer_[used_++] = byte;
    }

    // Writes what is buffered, closes, and (atomic mode) moves the file into place.
    void commit();

private:
    void open();
    void flush();
    void writeFully(const char* bytes, std::size_t size);
    void close();
    // Throws the PlatformError for an errno value other than 0.
    void check(int error);

    std::filesystem::path finalPath_;
    Mode mode_;
    std::filesystem::path writingPath_;
    int fd_ = -1;
    std::unique_ptr<char[]> buffer_;
    std::size_t used_ = 0;
    // Whether writingPath_ may hold a file this object is responsible for.
    bool created_ = false;
    bool writtenByLibrary_ = false;
    bool committed_ = false;
};

} // namespace vantory
