#include "Platform/ForegroundMask.h"

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>

namespace vantory::ForegroundMask {

namespace {

// GrabCut is slow: it works on a copy no larger than this, and the mask is scaled back.
constexpr int workingSide = 512;
// Pictures smaller than this have no room for a border and a subject.
constexpr int smallestSide = 8;
// The starting rectangle leaves this share of each side as sure background.
constexpr double borderShare = 0.04;
constexpr int grabCutIterations = 5;
// Less foreground than this share of the picture counts as no subject.
constexpr double leastForegroundShare = 0.01;
// Colour spread (standard deviation per channel) below which a picture is uniform.
constexpr double uniformSpread = 3.0;
constexpr std::uint64_t randomStart = 0x5eed;

cv::Mat workingCopy(const cv::Mat& picture)
{
    const int longest = std::max(picture.cols, picture.rows);
    if (longest <= workingSide)
        return picture.clone();
    const double scale = static_cast<double>(workingSide) / longest;
    cv::Mat small;
    cv::resize(picture, small, cv::Size(), scale, scale, cv::INTER_AREA);
    return small;
}

bool isNearlyUniform(const cv::Mat& picture)
{
    cv::Scalar mean, spread;
    cv::meanStdDev(picture, mean, spread);
    return std::max({spread[0], spread[1], spread[2]}) < uniformSpread;
}

cv::Rect insetRectangle(const cv::Mat& picture)
{
    const int dx = std::max(1, static_cast<int>(picture.cols * borderShare));
    const int dy = std::max(1, static_cast<int>(picture.rows * borderShare));
    return {dx, dy, picture.cols - 2 * dx, picture.rows - 2 * dy};
}

cv::Mat foregroundOf(const cv::Mat& picture)
{
    cv::Mat labels, backgroundModel, foregroundModel;
    // GrabCut starts its colour models from random clusters: a fixed start gives the same
    // cut-out for the same picture every time.
    cv::theRNG().state = randomStart;
    cv::grabCut(picture, labels, insetRectangle(picture), backgroundModel, foregroundModel, grabCutIterations,
                cv::GC_INIT_WITH_RECT);
    cv::Mat foreground = (labels == cv::GC_FGD) | (labels == cv::GC_PR_FGD);
    // Specks and hairlines the colour model picked up are dropped.
    cv::morphologyEx(foreground, foreground, cv::MORPH_OPEN, cv::getStructuringElement(cv::MORPH_ELLIPSE, {5, 5}));
    return foreground;
}

} // namespace

std::optional<std::vector<std::uint8_t>> find(const std::uint8_t* rgb, int width, int height)
{
    if (width < smallestSide || height < smallestSide)
        return std::nullopt;
    const cv::Mat picture(height, width, CV_8UC3, const_cast<std::uint8_t*>(rgb));
    const cv::Mat small = workingCopy(picture);
    if (isNearlyUniform(small))
        return std::nullopt;
    cv::Mat foreground = foregroundOf(small);
    if (cv::countNonZero(foreground) < leastForegroundShare * foreground.total())
        return std::nullopt;
    // A slight blur before scaling back gives the cut-out a soft edge.
    cv::GaussianBlur(foreground, foreground, {3, 3}, 0);
    std::vector<std::uint8_t> mask(static_cast<std::size_t>(width) * height);
    cv::Mat full(height, width, CV_8UC1, mask.data());
    cv::resize(foreground, full, full.size(), 0, 0, cv::INTER_LINEAR);
    return mask;
}

} // namespace vantory::ForegroundMask
