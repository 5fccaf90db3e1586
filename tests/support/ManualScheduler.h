#pragma once

#include "Platform/Scheduler.h"

#include <QPointer>
#include <vector>

namespace vantory::test {

// A scheduler on a fake clock: nothing runs until advance() moves time past a step's deadline.
class ManualScheduler final : public Scheduler {
public:
    void post(Duration delay, QObject* owner, std::function<void()> step) override
    {
        pending_.push_back({now_ + delay, order_++, QPointer<QObject>(owner), owner != nullptr, std::move(step)});
    }

    // Runs, in deadline order, every step due within the next `by`; steps posted meanwhile run too when due.
    void advance(Duration by)
    {
        const Duration target = now_ + by;
        while (true) {
            auto next = earliestDue(target);
            if (next == pending_.end())
                break;
            Entry entry = std::move(*next);
            pending_.erase(next);
            now_ = entry.due;
            if (entry.hadOwner && entry.owner.isNull())
                continue;
            entry.step();
        }
        now_ = target;
    }

    Duration now() const { return now_; }
    std::size_t pendingCount() const { return pending_.size(); }

private:
    struct Entry {
        Duration due;
        unsigned long order;
        QPointer<QObject> owner;
        bool hadOwner;
        std::function<void()> step;
    };

    std::vector<Entry>::iterator earliestDue(Duration target)
    {
        auto best = pending_.end();
        for (auto it = pending_.begin(); it != pending_.end(); ++it) {
            if (it->due > target)
                continue;
            if (best == pending_.end() || it->due < best->due || (it->due == best->due && it->order < best->order))
                best = it;
        }
        return best;
    }

    std::vector<Entry> pending_;
    Duration now_{0};
    unsigned long order_ = 0;
};

} // namespace vantory::test
