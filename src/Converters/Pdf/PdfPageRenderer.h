#pragma once

#include <poppler/cpp/poppler-page.h>

#include <string>

namespace vantory::PdfPageRenderer {

// Pages are drawn at twice their size in points (144 dpi) ...
constexpr double scale = 2.0;
// ... unless that would take more pixels than this, when they are drawn smaller.
constexpr double maxPixels = 100'000'000;

// The scale for a page of this size in points: `scale`, or less for a huge page.
double renderScale(double widthPoints, double heightPoints);

// The page's visible area drawn on opaque white and encoded as PNG; empty when the
// page cannot be drawn or encoded.
std::string renderPng(const poppler::page& page);

} // namespace vantory::PdfPageRenderer
