#include "Views/Spring.h"

#include <QObject>
#include <gtest/gtest.h>

using namespace vantory;

namespace {

double highestProgress(Spring spring)
{
    double highest = 0;
    for (double t = 0; t < 3 * spring.response; t += 0.001)
        highest = std::max(highest, spring.progress(t));
    return highest;
}

struct SpringCase {
    double damping;
    bool overshoots;
};

// Names the case in the test's name, as "damping 0.6".
void PrintTo(const SpringCase& c, std::ostream* out)
{
    *out << "damping " << c.damping;
}

class SpringByDamping : public ::testing::TestWithParam<SpringCase> { };

} // namespace

TEST_P(SpringByDamping, StartsAtZeroAndSettlesAtOne)
{
    const Spring spring{0.4, GetParam().damping};
    EXPECT_DOUBLE_EQ(spring.progress(0), 0);
    EXPECT_FALSE(spring.settled(0));
    const double end = spring.settlingTime();
    EXPECT_GT(end, 0.1);
    EXPECT_LT(end, 5.0);
    EXPECT_TRUE(spring.settled(end));
    EXPECT_NEAR(spring.progress(end), 1, 1e-3);
    EXPECT_NEAR(spring.progress(20), 1, 1e-9);
}

TEST_P(SpringByDamping, OvershootsOnlyWhenUnderdamped)
{
    const Spring spring{0.4, GetParam().damping};
    if (GetParam().overshoots)
        EXPECT_GT(highestProgress(spring), 1.001);
    else
        EXPECT_LE(highestProgress(spring), 1.0 + 1e-12);
}

TEST_P(SpringByDamping, VelocityIsTheSlopeOfProgress)
{
    const Spring spring{0.4, GetParam().damping};
    for (double t : {0.0, 0.05, 0.13, 0.3, 0.7}) {
        const double h = 1e-6;
        const double slope = (spring.progress(t + h) - spring.progress(std::max(0.0, t - h))) / (t == 0 ? h : 2 * h);
        EXPECT_NEAR(spring.velocity(t), slope, 1e-3 * std::max(1.0, std::abs(slope))) << t;
    }
}

INSTANTIATE_TEST_SUITE_P(Dampings, SpringByDamping,
                         ::testing::Values(SpringCase{0.6, true}, SpringCase{0.8, true}, SpringCase{1.0, false},
                                           SpringCase{1.5, false}));

TEST(Spring, ALowerDampingOvershootsFurther)
{
    EXPECT_GT(highestProgress({0.4, 0.6}), highestProgress({0.4, 0.8}));
}

TEST(Spring, AnimationGoesFromStartToExactlyTheEnd)
{
    QObject owner;
    std::vector<double> applied;
    QVariantAnimation* animation = animateSpring(&owner, {0.4, 0.8}, 10, 20, [&](double v) { applied.push_back(v); });
    ASSERT_FALSE(applied.empty());
    EXPECT_DOUBLE_EQ(applied.front(), 10);
    animation->setCurrentTime(100);
    EXPECT_GT(applied.back(), 10);
    EXPECT_LT(applied.back(), 20);
    animation->setCurrentTime(animation->duration());
    EXPECT_DOUBLE_EQ(applied.back(), 20);
}

TEST(Spring, AnimationPassesBeyondTheEndWhenUnderdamped)
{
    QObject owner;
    double highest = 0;
    QVariantAnimation* animation = animateSpring(&owner, {0.45, 0.7}, 0.4, 1, [&](double v) { highest = std::max(highest, v); });
    for (int ms = 0; ms <= animation->duration(); ms += 5)
        animation->setCurrentTime(ms);
    EXPECT_GT(highest, 1.01);
}
