#include "Converters/Archive/ArchiveProcessor.h"

#include "Converters/Archive/ArchiveEntries.h"
#include "Converters/Archive/ArchivePasswordDialogue.h"
#include "Converters/Archive/EscapingEntries.h"
#include "Converters/Archive/ExtractionSpace.h"
#include "Converters/Archive/ExtractionStaging.h"
#include "Converters/ConversionCancelled.h"
#include "Converters/ConversionError.h"
#include "Converters/LibraryErrors.h"
#include "Converters/OutputNaming.h"
#include "Converters/RowAdapters.h"
#include "Models/ActionIds.h"
#include "Platform/ArchiveProbe.h"
#include "Platform/ArchiveToolArguments.h"
#include "Platform/FreeSpace.h"
#include "Platform/PathNames.h"
#include "Platform/PlatformError.h"
#include "Platform/ProcessRunner.h"

#include <algorithm>
#include <map>
#include <system_error>

namespace vantory::ArchiveProcessor {

namespace fs = std::filesystem;

namespace {

const char* const compressionFailed = "ZIP compression failed";
const char* const extractionFailed = "Failed to extract archive";

// Throws ConversionCancelled when the tool was ended by `options.stop`.
ProcessResult runTool(const std::string& tool, const std::vector<std::string>& arguments, const ProcessOptions& options = {})
{
    ProcessResult result = runProcess(tool, arguments, options);
    if (!result.launched)
        throw PlatformError("The archive tool \u201C" + lastPathComponent(tool)
                            + "\u201D could not be started: " + result.launchError + ".");
    if (result.cancelled)
        throw ConversionCancelled{};
    return result;
}

ProcessOptions stoppedBy(std::stop_token stop)
{
    ProcessOptions options;
    options.stop = std::move(stop);
    return options;
}

ProcessResult runTool(const std::string& tool, const std::vector<std::string>& arguments, std::stop_token stop)
{
    return runTool(tool, arguments, stoppedBy(std::move(stop)));
}

ProcessOptions dialogueOptions(std::map<std::string, std::string> environment, std::stop_token stop = {})
{
    ProcessOptions options;
    options.extraEnvironment = std::move(environment);
    options.stop = std::move(stop);
    return options;
}

ProcessResult runDialogue(const std::string& script, std::map<std::string, std::string> environment, std::stop_token stop = {})
{
    return runTool(ToolPaths::current().expect, {"-c", script}, dialogueOptions(std::move(environment), std::move(stop)));
}

// What must hold before anything is extracted. An archive libarchive cannot list passes:
// the extracted tree is checked all the same, and the tool's writing is watched.
void checkBeforeExtracting(const fs::path& url, const std::string& password, const fs::path& outputFolder)
{
    const auto entries = readArchiveEntries(url, password);
    if (!entries)
        return;
    refuseEntriesWritingOutside(url, *entries);
    refuseWhatCannotFit(*entries, outputFolder);
}

// Runs a tool that extracts into `staging`, ended when the volume runs short of space:
// an archive can hold more than it states, and other programs write to the volume too.
ProcessResult runExtracting(const ExtractionStaging& staging, const std::string& tool, const std::vector<std::string>& arguments,
                            ProcessOptions options)
{
    const FreeSpace::Watch watch(staging.path(), options.stop);
    options.stop = watch.stopToken();
    try {
        const ProcessResult result = runTool(tool, arguments, options);
        if (!result.succeeded() && watch.ranShort())
            throw PlatformError(FreeSpace::notEnoughMessage);
        return result;
    } catch (const ConversionCancelled&) {
        if (watch.ranShort())
            throw PlatformError(FreeSpace::notEnoughMessage);
        throw;
    }
}

// The archive being built; removed when the operation leaves before `keep`.
class ArchiveUnderConstruction {
public:
    explicit ArchiveUnderConstruction(fs::path archive) : archive_(std::move(archive)) { }
    ~ArchiveUnderConstruction()
    {
        if (!kept_) {
            std::error_code ignored;
            fs::remove(archive_, ignored);
        }
    }
    ArchiveUnderConstruction(const ArchiveUnderConstruction&) = delete;
    ArchiveUnderConstruction& operator=(const ArchiveUnderConstruction&) = delete;

    const fs::path& path() const { return archive_; }
    void keep() { kept_ = true; }

private:
    fs::path archive_;
    bool kept_ = false;
};

fs::path inputPath(const fs::path& url)
{
    return fs::absolute(withoutTrailingSlash(url)).lexically_normal();
}

// Every input enters the archive under its own name, so two inputs of one name from
// different folders would land on the same entries, the later silently replacing the
// earlier.
void refuseNameClashes(const std::vector<fs::path>& urls)
{
    std::map<std::string, fs::path> inputsByName;
    for (const auto& url : urls) {
        const fs::path input = inputPath(url);
        const std::string name = lastPathComponent(input);
        const auto [known, inserted] = inputsByName.emplace(name, input);
        if (!inserted && known->second != input)
            throw PlatformError("Two of the items are named \u201C" + name
                                + "\u201D and an archive can hold only one of them. Rename one and try again.");
    }
}

// zip creates the archive, but not the folder that holds it.
fs::path archiveFor(const std::vector<fs::path>& urls, const fs::path& outputFolder)
{
    const std::string stem = urls.size() == 1 ? OutputNaming::stem(urls.front()) : "archive";
    fs::create_directories(outputFolder);
    return OutputNaming::uniqueURL(fs::absolute(outputFolder), stem, "zip");
}

void runZip(const fs::path& dropped, const fs::path& folder, std::vector<std::string> arguments, const std::stop_token& stop)
{
    ProcessOptions options;
    options.workingDirectory = folder.string();
    options.stop = stop;
    if (!runTool(ToolPaths::current().zip, arguments, options).succeeded())
        throw ConversionError::exportFailed(dropped, compressionFailed);
}

// -nw: a name is a name, never a wildcard pattern. -y: links are stored as links, never
// followed, so a link loop or a link to "/" cannot make the archive endless.
std::vector<std::string> zipArguments(const fs::path& archive, bool recursive, bool linksAsLinks)
{
    std::vector<std::string> arguments = {"-q", "-nw"};
    if (recursive)
        arguments.push_back("-r");
    if (linksAsLinks)
        arguments.push_back("-y");
    arguments.push_back(archive.string());
    return arguments;
}

// Past this many names, a folder's items go to zip in several runs.
constexpr std::size_t namesPerRun = 1000;

// The folder's own entry, under the link's name and with the folder's attributes, then
// its items through the link: only the dropped link is followed, the links within stay links.
void compressLinkedFolder(const fs::path& dropped, const fs::path& link, const fs::path& archive, const std::stop_token& stop)
{
    const std::string name = link.filename().string();
    auto folderEntry = zipArguments(archive, false, false);
    folderEntry.push_back(ArchiveToolArguments::zipEntry(name));
    runZip(dropped, link.parent_path(), folderEntry, stop);

    std::vector<std::string> items;
    for (const auto& item : fs::directory_iterator(link))
        items.push_back(ArchiveToolArguments::zipEntry(name + "/" + item.path().filename().string()));
    for (std::size_t first = 0; first < items.size(); first += namesPerRun) {
        auto arguments = zipArguments(archive, true, true);
        const auto end = items.begin() + static_cast<std::ptrdiff_t>(std::min(items.size(), first + namesPerRun));
        arguments.insert(arguments.end(), items.begin() + static_cast<std::ptrdiff_t>(first), end);
        runZip(dropped, link.parent_path(), arguments, stop);
    }
}

// A dropped link is followed, since the user dropped it for what it points to; a
// dangling one has nothing to archive.
void compressDroppedLink(const fs::path& dropped, const fs::path& link, const fs::path& archive, const std::stop_token& stop)
{
    std::error_code error;
    const auto target = fs::status(link, error);
    if (!fs::exists(target))
        throw PlatformError("\u201C" + link.filename().string() + "\u201D is a link to \u201C" + fs::read_symlink(link).string()
                            + "\u201D, which does not exist, so there is nothing to archive.");
    if (fs::is_directory(target)) {
        compressLinkedFolder(dropped, link, archive, stop);
        return;
    }
    auto arguments = zipArguments(archive, false, false);
    arguments.push_back(ArchiveToolArguments::zipEntry(link.filename().string()));
    runZip(dropped, link.parent_path(), arguments, stop);
}

// zip runs in each input's parent folder, adding to the same archive.
void compressToZipAt(const std::vector<fs::path>& urls, const fs::path& archive, const std::stop_token& stop)
{
    for (const auto& url : urls) {
        throwIfStopped(stop);
        const fs::path input = inputPath(url);
        const auto status = fs::symlink_status(input);
        if (!fs::exists(status))
            throw ConversionError::exportFailed(url, compressionFailed);
        if (fs::is_symlink(status)) {
            compressDroppedLink(url, input, archive, stop);
            continue;
        }
        auto arguments = zipArguments(archive, fs::is_directory(status), true);
        arguments.push_back(ArchiveToolArguments::zipEntry(input.filename().string()));
        runZip(url, input.parent_path(), arguments, stop);
    }
}

// The tools read a password typed at a terminal: at most 80 bytes, and control
// characters would act as editing keys, silently making it another password.
constexpr std::size_t longestPassword = 80;

bool canBeTyped(const std::string& password)
{
    if (password.size() > longestPassword)
        return false;
    return std::none_of(password.begin(), password.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7f;
    });
}

void refuseUntypablePassword(const std::string& password)
{
    if (password.size() > longestPassword)
        throw PlatformError("The password is too long: an archive password can have at most 80 bytes.");
    if (!canBeTyped(password))
        throw PlatformError("The password contains control characters, which an archive password cannot hold.");
}

void encrypt(const fs::path& archive, const std::string& password, const std::stop_token& stop)
{
    using namespace ArchivePasswordDialogue;
    const auto result = runDialogue(
        encryptScript(),
        {{toolVariable, ToolPaths::current().zipcloak}, {archiveVariable, archive.string()}, {passwordVariable, password}}, stop);
    if (!result.succeeded())
        throw ConversionError::encryptionFailed();
}

// An encrypted archive does not test sound without its password: unzip says 82, or 1 or 2
// when a wrong password passed the one-byte check. Only an archive of empty entries can
// pass with a wrong password, so a pass is tried again with other wrong ones before it counts.
void verifyEncrypted(const fs::path& archive, const std::stop_token& stop)
{
    const ArchiveToolArguments::UnzipArchivePath unzipPath(archive);
    for (const char* wrongPassword : wrongPasswordsToTry) {
        const auto result = runTool(ToolPaths::current().unzip, {"-t", "-P", wrongPassword, unzipPath.argument()}, stop);
        if (result.killedBySignal)
            break;
        if (result.exitStatus == unzipPasswordExitStatus || unzipContentCheckFailed(result.exitStatus))
            return;
        if (result.exitStatus != 0)
            break;
    }
    throw ConversionError::encryptionFailed();
}

std::string statusText(const ProcessResult& result)
{
    return result.killedBySignal ? "killed by a signal" : "exit " + std::to_string(result.exitStatus);
}

} // namespace

void compressToZip(const std::vector<fs::path>& urls, const fs::path& outputFolder, std::stop_token stop)
{
    if (urls.empty())
        return;
    translatingLibraryErrors(urls.front(), [&] {
        refuseNameClashes(urls);
        ArchiveUnderConstruction archive(archiveFor(urls, outputFolder));
        compressToZipAt(urls, archive.path(), stop);
        throwIfStopped(stop);
        archive.keep();
    });
}

void compressToZipWithPassword(const std::vector<fs::path>& urls, const std::string& password, const fs::path& outputFolder,
                               std::stop_token stop)
{
    if (urls.empty())
        return;
    translatingLibraryErrors(urls.front(), [&] {
        refuseUntypablePassword(password);
        refuseNameClashes(urls);
        ArchiveUnderConstruction archive(archiveFor(urls, outputFolder));
        compressToZipAt(urls, archive.path(), stop);
        encrypt(archive.path(), password, stop);
        verifyEncrypted(archive.path(), stop);
        throwIfStopped(stop);
        archive.keep();
    });
}

void extractArchive(const fs::path& url, const fs::path& outputFolder, std::stop_token stop)
{
    if (lowercased(pathExtension(url)) == "zip")
        extractZipArchive(url, outputFolder, stop);
    else
        extractTarArchive(url, outputFolder, stop);
}

void extractZipArchive(const fs::path& url, const fs::path& outputFolder, std::stop_token stop)
{
    translatingLibraryErrors(url, [&] {
        checkBeforeExtracting(url, "", outputFolder);
        const ArchiveToolArguments::UnzipArchivePath unzipPath(url);
        ExtractionStaging staging(outputFolder, stop);
        const auto result = runExtracting(staging, ToolPaths::current().unzip,
                                          {"-o", "-q", unzipPath.argument(), "-d", staging.path().string()}, stoppedBy(stop));
        if (!result.succeeded())
            throw ConversionError::exportFailed(url, extractionFailed);
        staging.publish(url);
    });
}

void extractTarArchive(const fs::path& url, const fs::path& outputFolder, std::stop_token stop)
{
    translatingLibraryErrors(url, [&] {
        checkBeforeExtracting(url, "", outputFolder);
        ExtractionStaging staging(outputFolder, stop);
        // Extracted files belong to whoever extracts them, with that user's umask, and a
        // name with a colon is a local file, not a remote host.
        const auto result = runExtracting(staging, ToolPaths::current().tar,
                                          {"-xf", fs::absolute(url).string(), "-C", staging.path().string(), "--no-same-owner",
                                           "--no-same-permissions", "--force-local"},
                                          stoppedBy(stop));
        if (!result.succeeded())
            throw ConversionError::exportFailed(url, extractionFailed);
        staging.publish(url);
    });
}

void extractArchiveWithPassword(const fs::path& url, const std::string& password, const fs::path& outputFolder,
                                std::stop_token stop)
{
    using namespace ArchivePasswordDialogue;
    translatingLibraryErrors(url, [&] {
        if (!canBeTyped(password)) // no archive the tools made can have such a password
            throw ConversionError::incorrectPassword();
        checkBeforeExtracting(url, password, outputFolder);
        const ArchiveToolArguments::UnzipArchivePath unzipPath(url);
        ExtractionStaging staging(outputFolder, stop);
        const auto result = runExtracting(staging, ToolPaths::current().expect, {"-c", extractScript()},
                                          dialogueOptions({{toolVariable, ToolPaths::current().unzip},
                                                           {archiveVariable, unzipPath.argument()},
                                                           {destinationVariable, staging.path().string()},
                                                           {passwordVariable, password}},
                                                          stop));
        if (!result.killedBySignal && result.exitStatus == passwordRejectedStatus)
            throw ConversionError::incorrectPassword();
        if (!result.succeeded())
            throw ConversionError::exportFailed(url, std::string(extractionFailed) + " (" + statusText(result) + ")");
        staging.publish(url);
    });
}

bool testPassword(const fs::path& url, const std::string& password)
{
    using namespace ArchivePasswordDialogue;
    if (!canBeTyped(password))
        return false;
    try {
        const ArchiveToolArguments::UnzipArchivePath unzipPath(url);
        return runDialogue(testScript(), {{toolVariable, ToolPaths::current().unzip},
                                          {archiveVariable, unzipPath.argument()},
                                          {passwordVariable, password}})
            .succeeded();
    } catch (const std::exception&) {
        return false;
    }
}

DispatchTable rows()
{
    return {
        .fileOperations =
            {
                {ActionIds::extractArchive, serialRow(extractArchive)},
                {ActionIds::unlockExtractZip, serialRow(extractArchiveWithPassword)},
                // Reached by ConversionRouter::runAction only: a batch sends both ids down the whole-batch path.
                {ActionIds::compressZip,
                 {Lane::serial, [](const FileJob& job) { compressToZip({job.url}, job.outputFolder, job.stop); }}},
                {ActionIds::compressZipWithPassword,
                 {Lane::serial,
                  [](const FileJob& job) { compressToZipWithPassword({job.url}, job.password, job.outputFolder, job.stop); }}},
            },
        .wholeBatchOperations = {
            {ActionIds::compressZip, wholeBatchRow(compressToZip)},
            {ActionIds::compressZipWithPassword, wholeBatchRow(compressToZipWithPassword)},
        }};
}

} // namespace vantory::ArchiveProcessor
