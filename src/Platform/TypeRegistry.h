#pragma once

#include <optional>
#include <string>

namespace vantory {

// The broad kinds of file content that the system's type registry can name.
enum class RegisteredKind { image, movie, audio, pdf };

// Looks the extension up in the shared MIME database by file name alone (the file
// itself is never read). No value when the database knows no such type or the type
// is none of the kinds above. Safe on any thread.
std::optional<RegisteredKind> registeredKindForExtension(const std::string& extension);

} // namespace vantory
