#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace vantory {

// A file opened for reading, closed when this goes. Throws PlatformError naming the
// path when it cannot be opened.
class InputFileDescriptor {
public:
    explicit InputFileDescriptor(const std::filesystem::path& path);
    ~InputFileDescriptor();
    InputFileDescriptor(const InputFileDescriptor&) = delete;
    InputFileDescriptor& operator=(const InputFileDescriptor&) = delete;

    int get() const { return fd_; }

private:
    int fd_;
};

// Throws PlatformError naming `path` when it is neither a file nor, with `folderTaken`,
// a folder (a link counts as what it points to): reading a pipe waits for a writer that
// may never come, and a device may never end. Nothing is opened. A path that cannot be
// looked at passes, for opening it to say why.
void refuseIfNotAFile(const std::filesystem::path& path, bool folderTaken);

// The whole file's bytes. Throws PlatformError when it cannot be read.
std::string readFileBytes(const std::filesystem::path& path);

// The rest of an open file's bytes, read to its end. Throws PlatformError naming `path`.
std::string readOpenFile(int fd, const std::filesystem::path& path);

// The file as UTF-8 text, without a leading byte-order mark. Throws PlatformError when
// it cannot be read or is not valid UTF-8.
std::string readUTF8File(const std::filesystem::path& path);

// The same for bytes already read or mapped from `path`: a view of them without a
// leading byte-order mark.
std::string_view utf8Text(std::string_view bytes, const std::filesystem::path& path);

} // namespace vantory
