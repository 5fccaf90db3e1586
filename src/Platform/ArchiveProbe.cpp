#include "Platform/ArchiveProbe.h"

#include "Platform/ArchiveToolArguments.h"
#include "Platform/ProcessRunner.h"

namespace vantory {

bool zipNeedsPassword(const std::filesystem::path& archive, std::chrono::milliseconds timeout)
{
    ProcessOptions options;
    options.timeout = timeout;
    // An absolute path can never be taken for one of unzip's options.
    std::error_code error;
    const std::filesystem::path absolutePath = std::filesystem::absolute(archive, error);
    const ArchiveToolArguments::UnzipArchivePath path(error ? archive : absolutePath);
    for (const char* wrongPassword : wrongPasswordsToTry) {
        const ProcessResult result = runProcess(ToolPaths::current().unzip, {"-t", "-P", wrongPassword, path.argument()}, options);
        if (!result.launched || result.timedOut || result.killedBySignal)
            return false;
        if (result.exitStatus == unzipPasswordExitStatus)
            return true;
        if (!unzipContentCheckFailed(result.exitStatus))
            return false;
    }
    return false;
}

} // namespace vantory
