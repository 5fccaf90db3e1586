#include "Views/Spring.h"

#include <cmath>
#include <numbers>

namespace vantory {
namespace {

constexpr double settledDistance = 1e-3;
constexpr double longestSettling = 10.0; // seconds; a bound for absurd parameters

// Position and velocity of x'' + 2ζω₀x' + ω₀²(x - 1) = 0 with x(0) = 0, x'(0) = 0.
struct Motion {
    double position;
    double velocity;
};

Motion stepResponse(double omega, double zeta, double t)
{
    if (zeta < 1) {
        const double omegaD = omega * std::sqrt(1 - zeta * zeta);
        const double decay = std::exp(-zeta * omega * t);
        const double c = std::cos(omegaD * t);
        const double s = std::sin(omegaD * t);
        return {1 - decay * (c + zeta * omega / omegaD * s), decay * (omega * omega / omegaD) * s};
    }
    if (zeta == 1) {
        const double decay = std::exp(-omega * t);
        return {1 - decay * (1 + omega * t), decay * omega * omega * t};
    }
    const double root = omega * std::sqrt(zeta * zeta - 1);
    const double r1 = -zeta * omega + root; // the slower of the two decays
    const double r2 = -zeta * omega - root;
    const double e1 = std::exp(r1 * t);
    const double e2 = std::exp(r2 * t);
    return {1 - (r2 * e1 - r1 * e2) / (r2 - r1), -(r1 * r2) * (e1 - e2) / (r2 - r1)};
}

double naturalFrequency(double response)
{
    return 2 * std::numbers::pi / response;
}

} // namespace

double Spring::progress(double seconds) const
{
    return stepResponse(naturalFrequency(response), damping, seconds).position;
}

double Spring::velocity(double seconds) const
{
    return stepResponse(naturalFrequency(response), damping, seconds).velocity;
}

bool Spring::settled(double seconds) const
{
    const double omega = naturalFrequency(response);
    const Motion motion = stepResponse(omega, damping, seconds);
    return std::abs(1 - motion.position) < settledDistance && std::abs(motion.velocity) / omega < settledDistance;
}

double Spring::settlingTime() const
{
    constexpr double step = 0.001;
    double seconds = 0;
    while (seconds < longestSettling && !settled(seconds))
        seconds += step;
    return seconds;
}

QVariantAnimation* animateSpring(QObject* owner, Spring spring, double from, double to, std::function<void(double)> apply)
{
    // The animation's value is the time along the spring, in seconds; the spring turns it
    // into the distance covered.
    auto* animation = new QVariantAnimation(owner);
    const double duration = spring.settlingTime();
    animation->setStartValue(0.0);
    animation->setEndValue(duration);
    animation->setDuration(static_cast<int>(std::ceil(duration * 1000)));
    QObject::connect(animation, &QVariantAnimation::valueChanged, owner,
                     [spring, from, to, apply, animation](const QVariant& value) {
                         const double seconds = value.toDouble();
                         const bool atEnd = animation->currentTime() >= animation->duration();
                         apply(atEnd ? to : from + (to - from) * spring.progress(seconds));
                     });
    apply(from);
    animation->start(QAbstractAnimation::DeleteWhenStopped);
    return animation;
}

} // namespace vantory
