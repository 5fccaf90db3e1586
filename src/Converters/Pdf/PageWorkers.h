#pragma once

#include <poppler/cpp/poppler-document.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <stop_token>

namespace vantory::PageWorkers {

// How many threads share the pages of one document: one per core, no more than pages.
int workerCount(int pages);

// Calls `work(document, index)` once for every page of `opened`, the PDF at `url`, from
// up to workerCount() threads. Poppler documents are not shared between threads: each
// further thread opens its own. Pages are handed out in order until they run out,
// `stop` is requested or a call throws; the first exception is rethrown here once every
// thread has finished.
void forEachPage(const std::filesystem::path& url, poppler::document& opened, const std::stop_token& stop,
                 const std::function<void(poppler::document&, int)>& work);

} // namespace vantory::PageWorkers
