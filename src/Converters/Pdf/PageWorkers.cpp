#include "Converters/Pdf/PageWorkers.h"

#include "Converters/Pdf/PopplerDocument.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace vantory::PageWorkers {

namespace {

class PageQueue {
public:
    PageQueue(int pages, const std::stop_token& stop) : pages_(pages), stop_(stop) { }

    // Runs `work` on pages taken from the queue until there are none left or the run ends.
    void drain(poppler::document& document, const std::function<void(poppler::document&, int)>& work)
    {
        try {
            for (int index = next_++; index < pages_ && !failed_ && !stop_.stop_requested(); index = next_++)
                work(document, index);
        } catch (...) {
            fail(std::current_exception());
        }
    }

    void fail(std::exception_ptr error)
    {
        const std::lock_guard lock(mutex_);
        if (!error_)
            error_ = error;
        failed_ = true;
    }

    void rethrowFailure() const
    {
        if (error_)
            std::rethrow_exception(error_);
    }

private:
    const int pages_;
    const std::stop_token& stop_;
    std::atomic<int> next_ = 0;
    std::atomic<bool> failed_ = false;
    std::mutex mutex_;
    std::exception_ptr error_;
};

} // namespace

int workerCount(int pages)
{
    const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    return std::clamp(pages, 1, cores);
}

void forEachPage(const std::filesystem::path& url, poppler::document& opened, const std::stop_token& stop,
                 const std::function<void(poppler::document&, int)>& work)
{
    PageQueue queue(opened.pages(), stop);
    {
        std::vector<std::jthread> helpers;
        for (int helper = 1; helper < workerCount(opened.pages()); ++helper)
            helpers.emplace_back([&] {
                std::unique_ptr<poppler::document> own;
                try {
                    own = PopplerDocument::open(url);
                } catch (...) {
                    queue.fail(std::current_exception());
                    return;
                }
                queue.drain(*own, work);
            });
        queue.drain(opened, work);
    }
    queue.rethrowFailure();
}

} // namespace vantory::PageWorkers
