#pragma once

#include <mutex>
#include <optional>
#include <string>

namespace vantory {

// The destination of the last reported navigation, for the process.
class NavigationStatus {
public:
    static NavigationStatus& shared();

    void setPreviousNavigationPath(std::string path);
    // Stores `path` and returns the path it replaces, in one step, so that two
    // navigations reported at once still form a chain.
    std::optional<std::string> exchangePreviousNavigationPath(std::string path);

private:
    std::mutex mutex_;
    std::optional<std::string> previousNavigationPath_;
};

} // namespace vantory
