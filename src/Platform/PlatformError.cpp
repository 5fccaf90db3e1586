#include "Platform/PlatformError.h"

#include "Platform/PathNames.h"

#include <cerrno>
#include <cstring>

namespace vantory {

namespace {

std::string sentenceForErrno(int error, const std::filesystem::path& path)
{
    const std::string quoted = quotedName(path);
    switch (error) {
    case ENOENT: return "The file " + quoted + " couldn\u2019t be opened because there is no such file.";
    case EACCES:
    case EPERM: return "You don\u2019t have permission to access " + quoted + ".";
    case ENOSPC: return "There isn\u2019t enough space to save " + quoted + ".";
    case EEXIST: return "The file " + quoted + " already exists.";
    case EISDIR: return "The file " + quoted + " couldn\u2019t be opened because it is a folder.";
    case ENAMETOOLONG: return "The name " + quoted + " is too long.";
    case EROFS: return "The volume holding " + quoted + " is read-only.";
    default: return "The file " + quoted + " couldn\u2019t be accessed (" + std::string(std::strerror(error)) + ").";
    }
}

} // namespace

PlatformError PlatformError::fromErrno(int error, const std::filesystem::path& path)
{
    return PlatformError(sentenceForErrno(error, path));
}

PlatformError PlatformError::from(const std::filesystem::filesystem_error& error)
{
    return PlatformError(sentenceForErrno(error.code().value(), error.path1()));
}

} // namespace vantory
