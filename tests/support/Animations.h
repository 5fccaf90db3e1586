#pragma once

#include <QCoreApplication>
#include <QPointer>
#include <QVariantAnimation>
#include <algorithm>
#include <chrono>

namespace vantory::test {

// Brings every running animation under `root` that ends to its end, as if its time had
// passed, and lets deferred deletions happen. Repeating animations are left running.
inline void finishAnimations(QObject* root)
{
    for (int round = 0; round < 4; ++round) {
        QList<QPointer<QAbstractAnimation>> running;
        for (auto* animation : root->findChildren<QAbstractAnimation*>())
            if (animation->state() == QAbstractAnimation::Running && animation->totalDuration() >= 0)
                running.push_back(animation);
        if (running.isEmpty())
            break;
        for (const auto& animation : running)
            if (animation)
                animation->setCurrentTime(animation->totalDuration());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Moves every running animation under `root` that ends on by `step`, at most to its end,
// as if that much time had passed. Repeating animations are left where they are.
inline void advanceAnimations(QObject* root, std::chrono::milliseconds step)
{
    QList<QPointer<QAbstractAnimation>> running;
    for (auto* animation : root->findChildren<QAbstractAnimation*>())
        if (animation->state() == QAbstractAnimation::Running && animation->totalDuration() >= 0)
            running.push_back(animation);
    for (const auto& animation : running)
        if (animation)
            animation->setCurrentTime(std::min(animation->currentTime() + static_cast<int>(step.count()),
                                               animation->totalDuration()));
}

} // namespace vantory::test
