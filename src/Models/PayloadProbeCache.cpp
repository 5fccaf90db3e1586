#include "Models/PayloadProbeCache.h"

#include "Models/Base64Text.h"
#include "Platform/ArchiveProbe.h"

namespace vantory {

bool PayloadProbeCache::archiveNeedsPassword(const std::filesystem::path& url)
{
    return answer(archivePasswords_, url, [](const auto& path) { return zipNeedsPassword(path); });
}

bool PayloadProbeCache::looksLikeBase64Text(const std::filesystem::path& url)
{
    return answer(base64Texts_, url, readsAsBase64Text);
}

bool PayloadProbeCache::answer(Answers& answers, const std::filesystem::path& url,
                               const std::function<bool(const std::filesystem::path&)>& probe)
{
    std::promise<bool> promise;
    std::shared_future<bool> earlier;
    {
        std::lock_guard lock(mutex_);
        if (const auto known = answers.find(url); known != answers.end())
            earlier = known->second;
        else
            answers.emplace(url, promise.get_future().share());
    }
    if (earlier.valid())
        return earlier.get();

    bool result = false;
    try {
        result = probe(url);
    } catch (const std::exception&) {
        // A probe that cannot run answers no.
    }
    promise.set_value(result);
    return result;
}

} // namespace vantory
