#include "Converters/Archive/ExtractionStaging.h"

#include "Converters/ConversionCancelled.h"
#include "Converters/ConversionError.h"
#include "Converters/OutputNaming.h"
#include "Platform/PlatformError.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <system_error>
#include <vector>

namespace vantory {

namespace fs = std::filesystem;

namespace {

ConversionError extractionFailed(const fs::path& archive, const std::string& why)
{
    return ConversionError::exportFailed(archive, "Failed to extract archive (" + why + ")");
}

bool isWithin(const fs::path& path, const fs::path& root)
{
    const fs::path relative = path.lexically_relative(root);
    return !relative.empty() && *relative.begin() != "..";
}

// Both by the names alone and as the links of the extracted tree really resolve: "a/.."
// reads as inside, but when "a" is a link to "." it is the folder above.
bool linkStaysInside(const fs::path& link, const fs::path& root, const fs::path& canonicalRoot)
{
    const fs::path target = fs::read_symlink(link);
    if (target.is_absolute())
        return false;
    const fs::path lexical = (link.parent_path() / target).lexically_normal();
    if (!isWithin(lexical, root.lexically_normal()))
        return false;
    std::error_code error;
    const fs::path resolved = fs::weakly_canonical(link.parent_path() / target, error);
    return !error && isWithin(resolved, canonicalRoot);
}

// Archives may hold folders their owner cannot enter or write; the tree must be walked,
// moved and removed all the same.
void makeTraversable(const fs::path& root, const std::stop_token& stop = {})
{
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) {
        throwIfStopped(stop);
        const auto status = it->symlink_status();
        if (fs::is_directory(status) && (status.permissions() & fs::perms::owner_all) != fs::perms::owner_all)
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add);
    }
}

// Links that point outside are left out: the rest of the archive is of use without them.
void vet(const fs::path& root, const fs::path& archive, const std::stop_token& stop)
{
    const fs::path canonicalRoot = fs::canonical(root);
    constexpr auto setIdBits = fs::perms::set_uid | fs::perms::set_gid;
    std::vector<fs::path> linksOutside;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        throwIfStopped(stop);
        const auto status = entry.symlink_status();
        const std::string name = entry.path().lexically_relative(root).string();
        if (fs::is_symlink(status)) {
            if (!linkStaysInside(entry.path(), root, canonicalRoot))
                linksOutside.push_back(entry.path());
        } else if (fs::is_regular_file(status)) {
            if ((status.permissions() & setIdBits) != fs::perms::none)
                fs::permissions(entry.path(), setIdBits, fs::perm_options::remove);
        } else if (!fs::is_directory(status)) {
            throw extractionFailed(archive, "\"" + name + "\" is not a file, a folder or a link");
        }
    }
    for (const auto& link : linksOutside)
        fs::remove(link);
}

// Renames unless something stands at `to` (a link there counts as itself, never as
// what it points to); false then.
bool renameWithoutReplacing(const fs::path& from, const fs::path& to)
{
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno == EEXIST)
        return false;
    if (errno != EINVAL && errno != ENOSYS)
        throw PlatformError::fromErrno(errno, to);
    // A file system that cannot refuse to replace: only this extraction writes here.
    std::error_code error;
    if (fs::exists(fs::symlink_status(to, error)))
        return false;
    fs::rename(from, to);
    return true;
}

// Under its own name, or, when a namesake stands there (from another archive of the
// same run), under a unique name beside it: nothing already extracted is replaced.
void moveBeside(const fs::path& source, const fs::path& into)
{
    const std::string name = source.filename().string();
    if (renameWithoutReplacing(source, into / name))
        return;
    while (!renameWithoutReplacing(source, OutputNaming::uniqueURLBesideNamesake(into, name))) { }
}

// Folders of the same name are merged; anything else comes in beside its namesake.
void moveInto(const fs::path& from, const fs::path& into, const std::stop_token& stop)
{
    std::vector<fs::path> entries;
    for (const auto& entry : fs::directory_iterator(from))
        entries.push_back(entry.path());
    for (const auto& source : entries) {
        const bool bothFolders = fs::is_directory(fs::symlink_status(source))
                                 && fs::is_directory(fs::symlink_status(into / source.filename()));
        if (bothFolders) {
            moveInto(source, into / source.filename(), stop);
            continue;
        }
        throwIfStopped(stop); // nothing reaches the output folder after a cancel
        moveBeside(source, into);
    }
}

} // namespace

ExtractionStaging::ExtractionStaging(const fs::path& outputFolder, std::stop_token stop)
    : outputFolder_(fs::absolute(outputFolder)),
      stop_(std::move(stop))
{
    fs::create_directories(outputFolder_);
    std::string pattern = (outputFolder_ / ".vantory-extract-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw PlatformError::fromErrno(errno, outputFolder_);
    staging_ = pattern;
}

ExtractionStaging::~ExtractionStaging()
{
    std::error_code error;
    fs::remove_all(staging_, error);
    if (error) {
        try {
            makeTraversable(staging_);
        } catch (const fs::filesystem_error&) {
        }
        fs::remove_all(staging_, error);
    }
}

void ExtractionStaging::publish(const fs::path& archive)
{
    makeTraversable(staging_, stop_);
    vet(staging_, archive, stop_);
    if (fs::is_empty(staging_))
        throw extractionFailed(archive, "nothing was extracted");
    moveInto(staging_, outputFolder_, stop_);
}

} // namespace vantory
