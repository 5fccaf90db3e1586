#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace vantory {

// Turns SIGTERM, SIGINT and SIGHUP into a call on the event loop's thread: the handler only
// writes a byte to a pipe, which the loop reads.
class TerminationSignal final : public QObject {
    Q_OBJECT

public:
    explicit TerminationSignal(std::function<void()> onTerminate, QObject* parent = nullptr);
    ~TerminationSignal() override;

private:
    static void handle(int signal);

    std::function<void()> onTerminate_;
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace vantory
