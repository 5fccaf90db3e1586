#include "Platform/PathNames.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdio>
#include <random>
#include <unistd.h>

namespace vantory {

std::filesystem::path withoutTrailingSlash(const std::filesystem::path& path)
{
    std::string text = path.string();
    while (text.size() > 1 && text.back() == '/')
        text.pop_back();
    return text;
}

std::string lastPathComponent(const std::filesystem::path& path)
{
    return withoutTrailingSlash(path).filename().string();
}

std::string quotedName(const std::filesystem::path& path)
{
    return "\u201C" + lastPathComponent(path) + "\u201D";
}

std::string pathExtension(const std::filesystem::path& path)
{
    const std::string extension = std::filesystem::path(lastPathComponent(path)).extension().string();
    return extension.size() > 1 ? extension.substr(1) : std::string();
}

std::string nameWithoutExtension(const std::filesystem::path& path)
{
    const std::string name = lastPathComponent(path);
    const std::string extension = pathExtension(path);
    return extension.empty() ? name : name.substr(0, name.size() - extension.size() - 1);
}

std::string standardizedPath(const std::filesystem::path& path)
{
    return withoutTrailingSlash(path.lexically_normal()).string();
}

std::size_t longestNameIn(const std::filesystem::path& folder)
{
    const long longest = ::pathconf(folder.empty() ? "." : folder.c_str(), _PC_NAME_MAX);
    return longest > 0 ? static_cast<std::size_t>(longest) : NAME_MAX;
}

std::string lowercased(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

std::string uppercased(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::toupper(c); });
    return text;
}

std::string randomNamePart()
{
    char digits[9];
    std::snprintf(digits, sizeof digits, "%08x", static_cast<unsigned>(std::random_device{}()));
    return digits;
}

} // namespace vantory
