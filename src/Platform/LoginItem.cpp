#include "Platform/LoginItem.h"

#include <QDir>
#include <QSaveFile>
#include <cerrno>
#include <cstdlib>
#include <system_error>
#include <unistd.h>

namespace vantory::LoginItem {

namespace fs = std::filesystem;

namespace {

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
             "X-GNOME-Autostart-enabled=true\n";
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
    // unlink, not a recursive removal: only our file is ever removed.
    return unlink(entryPath().c_str()) == 0 || errno == ENOENT;
}

bool reconcile(bool launchAtLogin, const fs::path& program)
{
    return launchAtLogin ? registerItem(program) : unregisterItem();
}

} // namespace vantory::LoginItem
