#include "Platform/ArchiveToolArguments.h"

#include "Platform/AppTemporaryFolder.h"
#include "Platform/PlatformError.h"

#include <string_view>
#include <system_error>

namespace vantory::ArchiveToolArguments {

namespace fs = std::filesystem;

std::string zipEntry(const std::string& name)
{
    return name.starts_with('-') ? "./" + name : name;
}

namespace {

bool readAsPattern(const std::string& name)
{
    return name.find_first_of("[]*?\\") != std::string::npos;
}

} // namespace

UnzipArchivePath::UnzipArchivePath(const fs::path& archive)
{
    const fs::path absolute = fs::absolute(archive);
    if (!readAsPattern(absolute.filename().string())) {
        argument_ = absolute.string();
        return;
    }
    aliasFolder_ = AppTemporaryFolder::makePrivateFolder("vantory-archive-");
    const fs::path alias = aliasFolder_ / "archive.zip";
    std::error_code error;
    fs::create_symlink(absolute, alias, error);
    if (error) {
        fs::remove_all(aliasFolder_, error);
        throw PlatformError::fromErrno(error.value(), alias);
    }
    argument_ = alias.string();
}

UnzipArchivePath::~UnzipArchivePath()
{
    if (!aliasFolder_.empty()) {
        std::error_code ignored;
        fs::remove_all(aliasFolder_, ignored);
    }
}

} // namespace vantory::ArchiveToolArguments
