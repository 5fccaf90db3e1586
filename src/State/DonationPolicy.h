#pragma once

namespace vantory::DonationPolicy {

// The donation prompt follows the 5th completed run and then every 20th one.
inline bool wantsPrompt(int completedRuns)
{
    return completedRuns == 5 || (completedRuns > 5 && (completedRuns - 5) % 20 == 0);
}

} // namespace vantory::DonationPolicy
