#pragma once

#include <filesystem>
#include <functional>
#include <future>
#include <map>
#include <mutex>

namespace vantory {

// The answers of the slow file probes of one drop, shared by all copies of its payload.
// Each question is asked at most once per path, also when several threads ask at the
// same moment (the later callers wait for the first one's answer).
class PayloadProbeCache {
public:
    bool archiveNeedsPassword(const std::filesystem::path& url);
    bool looksLikeBase64Text(const std::filesystem::path& url);

private:
    using Answers = std::map<std::filesystem::path, std::shared_future<bool>>;

    bool answer(Answers& answers, const std::filesystem::path& url,
                const std::function<bool(const std::filesystem::path&)>& probe);

    std::mutex mutex_;
    Answers archivePasswords_;
    Answers base64Texts_;
};

} // namespace vantory
