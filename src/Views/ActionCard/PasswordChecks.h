#pragma once

#include "Views/ActionCard/UnlockPDFButton.h"

namespace vantory {

class WidgetStateManager;

// The password checks the action card hands to its unlock rows. Both may run on any thread.
namespace PasswordChecks {

// Whether the password opens the payload's encrypted PDF. `manager` must outlive the check.
UnlockPDFButton::Validator pdf(const WidgetStateManager& manager);

// Whether the password opens the ZIP archive that is the first file of the payload shown
// now; the file is taken here, on the main thread. No payload or no file: never.
UnlockPDFButton::Validator zip(const WidgetStateManager& manager);

} // namespace PasswordChecks

} // namespace vantory
