#pragma once

#include "Converters/DispatchTable.h"

#include <filesystem>
#include <stop_token>
#include <string>
#include <vector>

// Creates ZIP archives (plain or password-protected) and extracts archives with the
// system's archive tools (ToolPaths::current()), blocking until they exit. Failures throw
// ConversionError, or PlatformError when a tool cannot be started or the file system fails.
// When `stop` is requested the running tool is ended, nothing more is published into the
// output folder, and ConversionCancelled is thrown.
namespace vantory::ArchiveProcessor {

// Extraction and compression under their action ids, on the serial lane. The compress ids
// have a whole-batch row (one archive of all the files) and a file row (one file's archive).
DispatchTable rows();

// One archive of all the inputs, each under its own name, named after the only input or
// "archive". No input: nothing happens. Two inputs of the same name are refused. A link
// given as an input is followed; links inside a given folder are stored as links.
void compressToZip(const std::vector<std::filesystem::path>& urls, const std::filesystem::path& outputFolder,
                   std::stop_token stop = {});

// The same archive, then encrypted with the password.
void compressToZipWithPassword(const std::vector<std::filesystem::path>& urls, const std::string& password,
                               const std::filesystem::path& outputFolder, std::stop_token stop = {});

// ".zip" in any letter case: extractZipArchive; anything else: extractTarArchive.
// Every extraction refuses, before anything is written, an archive with an entry that
// would land outside the output folder (PlatformError naming it) and one whose stated size
// does not fit on the volume (PlatformError "Not enough disk space", as when the tool runs
// the volume short and is ended), and leaves out links that point outside it. Nothing in
// the output folder is replaced: an entry whose name is taken there comes in beside it
// under a unique name.
void extractArchive(const std::filesystem::path& url, const std::filesystem::path& outputFolder, std::stop_token stop = {});
void extractZipArchive(const std::filesystem::path& url, const std::filesystem::path& outputFolder, std::stop_token stop = {});
// Plain, gzip or bzip2 compressed; the tool recognises which.
void extractTarArchive(const std::filesystem::path& url, const std::filesystem::path& outputFolder, std::stop_token stop = {});

// A wrong password throws ConversionError::incorrectPassword.
void extractArchiveWithPassword(const std::filesystem::path& url, const std::string& password,
                                const std::filesystem::path& outputFolder, std::stop_token stop = {});

// True when every entry of the ZIP archive tests sound with the password. Never throws.
bool testPassword(const std::filesystem::path& url, const std::string& password);

} // namespace vantory::ArchiveProcessor
