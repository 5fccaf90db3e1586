#pragma once

#include <vips/vips8>

// libvips computes a picture on several threads and, for a picture cut short, can lose
// the decoder's failure between them: the encoder then reports success over pixels that
// were never decoded. A watched picture passes its pixels through a stage of its own that
// notes every failure on the way to any thread, so the failure can be asked for once the
// encoder has returned.
namespace vantory::DecodeWatch {

// `image` behind the noting stage.
vips::VImage watched(const vips::VImage& image);

// Whether computing any pixel of `image` (made by watched()) has failed so far.
bool failed(const vips::VImage& image);

} // namespace vantory::DecodeWatch
