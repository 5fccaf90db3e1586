#include "Platform/ArchiveProbe.h"

#include "Platform/ArchiveToolArguments.h"
#include "Platform/ProcessRunner.h"

namespace vantory {

namespace {

constexpr int unzipPasswordExitStatus = 82;

} // namespace

bool zipNeedsPassword(const std::filesystem::path& archive, std::chrono::milliseconds timeout)
{
    ProcessOptions options;
    options.timeout = timeout;
    // An absolute path can never be taken for one of unzip's options.
    std::error_code error;
    const std::filesystem::path absolutePath = std::filesystem::absolute(archive, error);
    const ArchiveToolArguments::UnzipArchivePath path(error ? archive : absolutePath);
    const ProcessResult result = runProcess(ToolPaths::current().unzip, {"-t", "-P", "", path.argument()}, options);
    return result.launched && !result.timedOut && !result.killedBySignal && result.exitStatus == unzipPasswordExitStatus;
}

} // namespace vantory
