#include "App/TerminationSignal.h"

#include <QSocketNotifier>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace vantory {

namespace {

int pipeEnds[2] = {-1, -1};

// A hang-up comes at logout: it ends the program the same orderly way.
constexpr int handledSignals[] = {SIGTERM, SIGINT, SIGHUP};

} // namespace

TerminationSignal::TerminationSignal(std::function<void()> onTerminate, QObject* parent)
    : QObject(parent),
      onTerminate_(std::move(onTerminate))
{
    if (pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    notifier_ = new QSocketNotifier(pipeEnds[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        char drained[16];
        while (read(pipeEnds[0], drained, sizeof drained) > 0) { }
        onTerminate_();
    });
    struct sigaction action { };
    action.sa_handler = &TerminationSignal::handle;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int handled : handledSignals)
        sigaction(handled, &action, nullptr);
}

TerminationSignal::~TerminationSignal()
{
    for (const int handled : handledSignals)
        signal(handled, SIG_DFL);
    for (int& end : pipeEnds) {
        if (end >= 0)
            close(end);
        end = -1;
    }
}

void TerminationSignal::handle(int)
{
    const char byte = 1;
    [[maybe_unused]] auto written = write(pipeEnds[1], &byte, 1);
}

} // namespace vantory
