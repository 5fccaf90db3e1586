#pragma once

#include <QFutureWatcher>
#include <QObject>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>
#include <type_traits>
#include <utility>

namespace vantory {

// Runs `work` on the global thread pool and hands its result to `done` on the thread of
// `context` (call this from that thread). Once `context` is destroyed `done` is dropped,
// and nothing waits for `work`: it must not use `context`, only what it owns.
template <typename Work, typename Done>
void runInBackground(QObject* context, Work work, Done done)
{
    using Result = std::invoke_result_t<Work>;
    auto* watcher = new QFutureWatcher<Result>(context);
    QObject::connect(watcher, &QFutureWatcherBase::finished, context, [watcher, done = std::move(done)]() mutable {
        watcher->deleteLater();
        if constexpr (std::is_void_v<Result>)
            done();
        else
            done(watcher->result());
    });
    watcher->setFuture(QtConcurrent::run(std::move(work)));
}

// Runs `work` on the global thread pool; nobody waits for it or its result.
template <typename Work>
void runInBackground(Work work)
{
    QThreadPool::globalInstance()->start(std::move(work));
}

} // namespace vantory
