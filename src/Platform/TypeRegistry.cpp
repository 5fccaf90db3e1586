#include "Platform/TypeRegistry.h"

#include "Platform/PathNames.h"

#include <QMimeDatabase>
#include <QMimeType>
#include <QStringList>

#include <map>

namespace vantory {

namespace {

// Types the shared MIME database does not know but files of this desktop come in.
const std::map<std::string, RegisteredKind> missingFromTheDatabase = {
    {"caf", RegisteredKind::audio}, // Core Audio Format, as Apple devices record it
};

bool anyNameStartsWith(const QStringList& names, const QString& prefix)
{
    for (const QString& name : names)
        if (name.startsWith(prefix))
            return true;
    return false;
}

} // namespace

std::optional<RegisteredKind> registeredKindForExtension(const std::string& extension)
{
    if (extension.empty())
        return std::nullopt;
    if (const auto missing = missingFromTheDatabase.find(lowercased(extension));
        missing != missingFromTheDatabase.end())
        return missing->second;
    const QMimeDatabase database;
    const QMimeType type = database.mimeTypeForFile(QStringLiteral("x.") + QString::fromStdString(extension),
                                                    QMimeDatabase::MatchExtension);
    if (!type.isValid() || type.isDefault() || type.name().startsWith(QStringLiteral("inode/")))
        return std::nullopt;

    const QStringList names = QStringList{type.name()} + type.allAncestors();
    if (anyNameStartsWith(names, QStringLiteral("image/")))
        return RegisteredKind::image;
    if (anyNameStartsWith(names, QStringLiteral("video/")))
        return RegisteredKind::movie;
    if (anyNameStartsWith(names, QStringLiteral("audio/")))
        return RegisteredKind::audio;
    if (type.inherits(QStringLiteral("application/pdf")))
        return RegisteredKind::pdf;
    return std::nullopt;
}

} // namespace vantory
