#pragma once

#include "Platform/ProcessRunner.h"
#include "support/TempDir.h"
#include "support/ToolPathsOverride.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace vantory::test {

// Runs a Python snippet (its zipfile and tarfile modules craft the archives that the
// archive tools themselves would never write); sys.argv[1:] are the arguments.
inline void python(const std::string& code, const std::vector<std::string>& arguments = {})
{
    std::vector<std::string> argv{"-c", code};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    ASSERT_EQ(runProcess("/usr/bin/python3", argv).exitStatus, 0) << code;
}

inline void zipWithPython(const std::filesystem::path& archive, const std::string& body)
{
    std::filesystem::create_directories(archive.parent_path());
    python("import zipfile, stat, sys\n"
           "def link(z, name, target):\n"
           "    info = zipfile.ZipInfo(name)\n"
           "    info.create_system = 3\n"
           "    info.external_attr = (stat.S_IFLNK | 0o777) << 16\n"
           "    z.writestr(info, target)\n"
           "with zipfile.ZipFile(sys.argv[1], 'w') as z:\n"
               + body,
           {archive.string()});
}

// `mode` is tarfile's: "w", "w:gz", "w:bz2".
inline void tarWithPython(const std::filesystem::path& archive, const std::string& mode, const std::string& body)
{
    std::filesystem::create_directories(archive.parent_path());
    python("import tarfile, io, sys\n"
           "def add(t, name, data=b'x', kind=tarfile.REGTYPE, target=''):\n"
           "    info = tarfile.TarInfo(name)\n"
           "    info.type = kind\n"
           "    info.linkname = target\n"
           "    info.mode = 0o644\n"
           "    info.size = len(data) if kind == tarfile.REGTYPE else 0\n"
           "    t.addfile(info, io.BytesIO(data) if kind == tarfile.REGTYPE else None)\n"
           "with tarfile.open(sys.argv[1], '"
               + mode + "', format=tarfile.GNU_FORMAT) as t:\n" + body,
           {archive.string()});
}

// The names stored in a ZIP archive, sorted.
inline std::vector<std::string> zipEntries(const std::filesystem::path& archive)
{
    TempDir scratch;
    const auto listing = scratch / "names.txt";
    python("import zipfile, sys\n"
           "open(sys.argv[2], 'w').write(''.join(n + '\\n' for n in zipfile.ZipFile(sys.argv[1]).namelist()))",
           {archive.string(), listing.string()});
    std::vector<std::string> names;
    std::istringstream lines(readFile(listing));
    for (std::string line; std::getline(lines, line);)
        names.push_back(line);
    std::sort(names.begin(), names.end());
    return names;
}

// The ZIP archives in a folder.
inline std::vector<std::filesystem::path> zipsIn(const std::filesystem::path& folder)
{
    std::vector<std::filesystem::path> found;
    if (!std::filesystem::exists(folder))
        return found;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.path().extension() == ".zip")
            found.push_back(entry.path());
    return found;
}

inline std::vector<std::string> namesIn(const std::filesystem::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        names.push_back(entry.path().lexically_relative(folder).string());
    std::sort(names.begin(), names.end());
    return names;
}

// `unzip -t -P password archive`: tests may pass a password on a command line. Joined to
// the option, so that a password beginning with "-" is not read as an option.
inline int unzipTestStatus(const std::filesystem::path& archive, const std::string& password)
{
    const std::vector<std::string> arguments = password.empty()
                                                   ? std::vector<std::string>{"-t", "-P", "", archive.string()}
                                                   : std::vector<std::string>{"-t", "-P" + password, archive.string()};
    return runProcess("/usr/bin/unzip", arguments).exitStatus;
}

// Whether every entry of the archive carries the encryption flag. (unzip's "-P ''" test is
// not exact: an empty password passes an entry's one-byte check one time in 256.)
inline bool allEntriesEncrypted(const std::filesystem::path& archive)
{
    return runProcess("/usr/bin/python3", {"-c",
                                           "import zipfile, sys\n"
                                           "entries = zipfile.ZipFile(sys.argv[1]).infolist()\n"
                                           "sys.exit(0 if entries and all(i.flag_bits & 1 for i in entries) else 1)",
                                           archive.string()})
               .exitStatus
           == 0;
}

inline std::filesystem::path executable(const TempDir& dir, const std::string& name, const std::string& script)
{
    const auto file = dir.write(name, "#!/bin/sh\n" + script + "\n");
    std::filesystem::permissions(file, std::filesystem::perms::owner_all, std::filesystem::perm_options::add);
    return file;
}

} // namespace vantory::test
