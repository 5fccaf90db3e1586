#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace vantory {

// A file's bytes mapped read-only into memory: the kernel pages them in as they are
// read, and they count against no heap. Throws PlatformError when the file cannot be
// opened or mapped. The bytes are valid while the object lives.
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

private:
    void* address_ = nullptr;
    std::size_t size_ = 0;
    std::string unmappable_;
};

} // namespace vantory
