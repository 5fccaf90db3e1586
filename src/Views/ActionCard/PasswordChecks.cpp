#include "Views/ActionCard/PasswordChecks.h"

#include "Converters/Archive/ArchiveProcessor.h"
#include "State/WidgetStateManager.h"

namespace vantory::PasswordChecks {

UnlockPDFButton::Validator pdf(const WidgetStateManager& manager)
{
    return [&manager](const std::string& password) { return manager.validatePDFPassword(password); };
}

UnlockPDFButton::Validator zip(const WidgetStateManager& manager)
{
    const auto& payload = manager.payload();
    if (!payload || payload->urls.empty())
        return [](const std::string&) { return false; };
    return [archive = payload->urls.front()](const std::string& password) {
        return ArchiveProcessor::testPassword(archive, password);
    };
}

} // namespace vantory::PasswordChecks
