#include "State/ActionCapabilities.h"

#include "Converters/Image/ImageWriters.h"

#include <atomic>
#include <future>

namespace vantory {

namespace {

std::atomic<bool> modelAnswers{false};

} // namespace

ActionCapabilities ActionCapabilities::current()
{
    return {.canWriteAVIF = ImageWriters::canWriteAVIF(), .summariesAvailable = modelAnswers.load()};
}

void ActionCapabilities::setSummariesAvailable(bool available)
{
    modelAnswers = available;
}

void ActionCapabilities::probeInBackground()
{
    // Held until exit, when its destructor waits for a probe still running.
    static const std::future<bool> probe = std::async(std::launch::async, ImageWriters::canWriteAVIF);
}

} // namespace vantory
