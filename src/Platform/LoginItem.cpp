#include "Platform/LoginItem.h"

#include <QDir>
#include <QSaveFile>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <system_error>
#include <unistd.h>

namespace vantory::LoginItem {

namespace fs = std::filesystem;

namespace {

const std::string ownerKey = "X-Vantory-LoginItem";
const std::string entryGroup = "[Desktop Entry]";

fs::path configFolder()
{
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    if (configHome && fs::path(configHome).is_absolute())
        return configHome;
    return fs::path(QDir::homePath().toStdString()) / ".config";
}

// Inside double quotes the Exec rules reserve ", `, $ and \; "%" starts a field code
// anywhere in the line.
std::string quotedArgument(const std::string& argument)
{
    std::string quoted = "\"";
    for (const char c : argument) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            quoted += '\\';
        quoted += c;
        if (c == '%')
            quoted += '%';
    }
    return quoted + '"';
}

std::string desktopStringValue(const std::string& text)
{
    std::string escaped;
    for (const char c : text) {
        switch (c) {
        case '\\': escaped += "\\\\"; break;
        case '\n': escaped += "\\n"; break;
        case '\t': escaped += "\\t"; break;
        case '\r': escaped += "\\r"; break;
        default: escaped += c;
        }
    }
    return escaped;
}

std::string entryText(const fs::path& program)
{
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Vantory\n"
           "Exec="
           + execValue(program.string())
           + "\n"
             "X-GNOME-Autostart-enabled=true\n"
           + ownerKey + "=true\n";
}

std::string trimmed(const std::string& text)
{
    const auto isSpace = [](unsigned char c) { return c == ' ' || c == '\t' || c == '\r'; };
    const auto first = std::find_if_not(text.begin(), text.end(), isSpace);
    const auto last = std::find_if_not(text.rbegin(), text.rend(), isSpace).base();
    return first < last ? std::string(first, last) : std::string();
}

// Whether the entry file at `path` is one this app wrote; none when it cannot be read.
std::optional<bool> isOurEntry(const fs::path& path)
{
    std::error_code error;
    // Not a folder, nor a pipe that would keep the reader waiting.
    if (!fs::is_regular_file(path, error))
        return std::nullopt;
    std::ifstream file(path);
    if (!file)
        return std::nullopt;
    bool inEntryGroup = false;
    for (std::string line; std::getline(file, line);) {
        line = trimmed(line);
        if (line.starts_with('[')) {
            inEntryGroup = line == entryGroup;
            continue;
        }
        const auto equals = line.find('=');
        if (inEntryGroup && equals != std::string::npos && trimmed(line.substr(0, equals)) == ownerKey)
            return trimmed(line.substr(equals + 1)) == "true";
    }
    return file.eof() ? std::optional(false) : std::nullopt;
}

} // namespace

fs::path entryPath()
{
    return configFolder() / "autostart" / "vantory.desktop";
}

std::string execValue(const std::string& program)
{
    return desktopStringValue(quotedArgument(program));
}

bool registerItem(const fs::path& program)
{
    const fs::path entry = entryPath();
    std::error_code error;
    fs::create_directories(entry.parent_path(), error);
    if (error)
        return false;
    QSaveFile file(QString::fromStdString(entry.string()));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const std::string text = entryText(program);
    file.write(text.data(), static_cast<qint64>(text.size()));
    return file.commit();
}

bool unregisterItem()
{
    const fs::path entry = entryPath();
    std::error_code error;
    const fs::file_status status = fs::symlink_status(entry, error);
    if (status.type() == fs::file_type::not_found)
        return true;
    if (error)
        return false;
    const std::optional<bool> ours = isOurEntry(entry);
    if (!ours)
        return false;
    if (!*ours)
        return true;
    // unlink, not a recursive removal: only our file is ever removed.
    return unlink(entry.c_str()) == 0 || errno == ENOENT;
}

bool reconcile(bool launchAtLogin, const fs::path& program)
{
    return launchAtLogin ? registerItem(program) : unregisterItem();
}

} // namespace vantory::LoginItem
