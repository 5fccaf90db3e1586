#pragma once

#include <QVariantAnimation>
#include <functional>

namespace vantory {

// A damped spring that carries a value from one place to another: its natural period is
// `response` seconds and `damping` is the fraction of critical damping.
struct Spring {
    double response; // seconds
    double damping; // fraction, 1 = critically damped

    // The unit step response: 0 at 0, settling at 1, overshooting when damping < 1.
    double progress(double seconds) const;
    // Change of progress per second.
    double velocity(double seconds) const;
    // Close enough to 1, and slow enough, that the rest of the motion cannot be seen.
    bool settled(double seconds) const;
    // The first moment the spring is settled.
    double settlingTime() const;
};

// Runs `apply` from `from` to `to` along the spring on a QVariantAnimation owned by `owner`,
// until it settles; the last value applied is exactly `to`.
QVariantAnimation* animateSpring(QObject* owner, Spring spring, double from, double to, std::function<void(double)> apply);

} // namespace vantory
