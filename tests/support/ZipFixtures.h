#pragma once

#include "Platform/ProcessRunner.h"
#include "support/ToolPathsOverride.h"

#include <filesystem>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>

namespace vantory::test {

// Makes a ZIP archive holding one small text file, encrypted when a password is given.
inline std::filesystem::path writeZip(const std::filesystem::path& archive,
                                      const std::optional<std::string>& password = std::nullopt)
{
    const auto folder = archive.parent_path();
    std::filesystem::create_directories(folder);
    const std::string entry = archive.filename().string() + ".entry.txt";
    std::ofstream(folder / entry) << "some content that compresses\n";
    std::vector<std::string> arguments{"-q"};
    if (password) {
        arguments.push_back("-P");
        arguments.push_back(*password);
    }
    arguments.push_back(archive.string());
    arguments.push_back(entry);
    ProcessOptions options;
    options.workingDirectory = folder.string();
    if (!runProcess("/usr/bin/zip", arguments, options).succeeded())
        throw std::runtime_error("zip could not make " + archive.string());
    std::filesystem::remove(folder / entry);
    return archive;
}

// Points ToolPaths::current().unzip at another program for the life of the object.
class UnzipReplacement {
public:
    explicit UnzipReplacement(const std::filesystem::path& tool) { tools_->unzip = tool.string(); }

private:
    ToolPathsOverride tools_;
};

// A stand-in for unzip that appends its arguments, one line per run, to `log` and
// exits with `exitStatus`.
inline std::filesystem::path writeRecordingUnzip(const std::filesystem::path& script, const std::filesystem::path& log,
                                                 int exitStatus, const std::string& extraCommand = "")
{
    std::ofstream(script) << "#!/bin/sh\n"
                          << "printf '%s|' \"$@\" >> '" << log.string() << "'\n"
                          << "echo >> '" << log.string() << "'\n"
                          << extraCommand << "\n"
                          << "exit " << exitStatus << "\n";
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    return script;
}

} // namespace vantory::test
