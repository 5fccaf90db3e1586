#pragma once

#include <chrono>

namespace vantory {

// Removes what earlier runs left in the app's temporary folder: every entry in it last
// changed more than an hour before `now`. Symbolic links are removed as links, never
// followed. Nothing outside that folder is touched, and nothing at all when the folder is
// refused (see AppTemporaryFolder::ensure). Failures are ignored: this never stops the app.
void removeStaleTemporaryEntries(std::chrono::system_clock::time_point now = std::chrono::system_clock::now());

} // namespace vantory
