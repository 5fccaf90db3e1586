#include "Converters/Archive/ArchiveEntries.h"

#include <archive.h>
#include <archive_entry.h>

#include <algorithm>
#include <memory>

namespace vantory {

namespace {

struct ArchiveReaderFree {
    void operator()(archive* reader) const { archive_read_free(reader); }
};
using ArchiveReader = std::unique_ptr<archive, ArchiveReaderFree>;

ArchiveEntry::Kind kindOf(archive_entry* entry)
{
    if (archive_entry_hardlink(entry))
        return ArchiveEntry::Kind::hardLink;
    switch (archive_entry_filetype(entry)) {
    case AE_IFREG: return ArchiveEntry::Kind::file;
    case AE_IFDIR: return ArchiveEntry::Kind::folder;
    case AE_IFLNK: return ArchiveEntry::Kind::symbolicLink;
    default: return ArchiveEntry::Kind::other;
    }
}

ArchiveEntry entryFrom(archive_entry* entry)
{
    const char* path = archive_entry_pathname(entry);
    const char* target = archive_entry_hardlink(entry) ? archive_entry_hardlink(entry) : archive_entry_symlink(entry);
    const auto size = archive_entry_size_is_set(entry) ? std::max<la_int64_t>(archive_entry_size(entry), 0) : 0;
    return {path ? path : "", kindOf(entry), target ? target : "", static_cast<std::uint64_t>(size)};
}

} // namespace

std::optional<std::vector<ArchiveEntry>> readArchiveEntries(const std::filesystem::path& path, const std::string& password)
{
    const ArchiveReader reader(archive_read_new());
    if (!reader)
        return std::nullopt;
    archive_read_support_filter_all(reader.get());
    archive_read_support_format_zip(reader.get());
    archive_read_support_format_tar(reader.get());
    archive_read_support_format_gnutar(reader.get());
    if (!password.empty())
        archive_read_add_passphrase(reader.get(), password.c_str());
    constexpr std::size_t blockSize = 1 << 16;
    if (archive_read_open_filename(reader.get(), path.c_str(), blockSize) != ARCHIVE_OK)
        return std::nullopt;
    std::vector<ArchiveEntry> entries;
    archive_entry* entry = nullptr;
    for (int status; (status = archive_read_next_header(reader.get(), &entry)) != ARCHIVE_EOF;) {
        if (status < ARCHIVE_WARN)
            return std::nullopt;
        entries.push_back(entryFrom(entry));
    }
    return entries;
}

} // namespace vantory
