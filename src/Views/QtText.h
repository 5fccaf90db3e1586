#pragma once

#include <QString>
#include <optional>
#include <string>

namespace vantory {

// The state manager's UTF-8 texts as the views show them.
inline QString qtText(const std::string& text)
{
    return QString::fromStdString(text);
}

inline std::optional<QString> qtText(const std::optional<std::string>& text)
{
    if (!text)
        return std::nullopt;
    return qtText(*text);
}

} // namespace vantory
