#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace vantory {

// A file's bytes mapped read-only into memory: the kernel pages them in as they are
// read, and they count against no heap. Throws PlatformError when the file cannot be
// opened or mapped. The bytes are valid while the object lives. Should another program
// shorten the file meanwhile, the bytes past its new end read as zeros, and
// throwIfCutShort() says so: call it before keeping anything made from the bytes.
class MappedFile {
public:
    explicit MappedFile(const std::filesystem::path& path);
    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    std::string_view bytes() const
    {
        return address_ ? std::string_view(static_cast<const char*>(address_), size_) : std::string_view(unmappable_);
    }

    void throwIfCutShort() const;

private:
    // Maps the open file; false when it cannot be watched and must be read instead.
    bool map(int fd, std::size_t size);

    std::filesystem::path path_;
    int watchSlot_ = -1;
    void* address_ = nullptr;
    std::size_t size_ = 0;
    std::string unmappable_;
};

} // namespace vantory
