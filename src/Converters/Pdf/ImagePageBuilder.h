#pragma once

#include <qpdf/QPDF.hh>

#include <filesystem>
#include <memory>
#include <optional>
#include <stop_token>

namespace vantory {

// Adds pages that each show one image file, sized from the image's pixels and
// resolution (72 dpi when the file names none) and turned upright by its orientation
// tag. A JPEG goes in unchanged; other images are decoded and stored losslessly, with
// their transparency as a soft mask. Pixels are read only while the document is
// written, a few rows at a time; once `stop` is requested, the next image to be read
// throws ConversionCancelled instead, which ends the write.
class ImagePageBuilder {
public:
    explicit ImagePageBuilder(QPDF& pdf, std::stop_token stop = {});

    // Appends a page for the image; throws ConversionError::loadFailed(url) when the
    // file cannot be read as an image.
    void append(const std::filesystem::path& url);

    // The image whose pixels could not be read while the document was being written.
    std::optional<std::filesystem::path> failedImage() const { return *failedImage_; }

private:
    QPDF& pdf_;
    std::stop_token stop_;
    std::shared_ptr<std::optional<std::filesystem::path>> failedImage_;
};

} // namespace vantory
