#pragma once

#include <filesystem>
#include <string>

// How file names are written on the archive tools' command lines so that each tool reads
// them as plain names.
namespace vantory::ArchiveToolArguments {

// A name relative to zip's working folder; one that begins with "-" is given as "./-name"
// so that zip does not take it for an option (zip stores it as "-name").
std::string zipEntry(const std::string& name);

// unzip reads the last component of the archive's path as a wildcard pattern whenever it
// holds a wildcard character, and takes another file that matches over the file of that
// very name ("a[1].zip" opens "a1.zip" when both exist); escaping with backslashes only
// makes it look for a name with backslashes. Such an archive is handed to unzip through a
// link with a plain name in a private temporary folder, removed again with this object.
class UnzipArchivePath {
public:
    explicit UnzipArchivePath(const std::filesystem::path& archive);
    ~UnzipArchivePath();

    UnzipArchivePath(const UnzipArchivePath&) = delete;
    UnzipArchivePath& operator=(const UnzipArchivePath&) = delete;

    // The path to put on unzip's command line.
    const std::string& argument() const { return argument_; }

private:
    std::filesystem::path aliasFolder_;
    std::string argument_;
};

} // namespace vantory::ArchiveToolArguments
