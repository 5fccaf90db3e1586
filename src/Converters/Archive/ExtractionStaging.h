#pragma once

#include <filesystem>
#include <stop_token>

namespace vantory {

// A fresh private folder inside the output folder that an archive tool extracts into.
// Nothing stands in it before the tool runs, so no link left in the output folder can
// redirect the tool's writes. What the tool wrote reaches the output folder only through
// `publish`, which checks it first. Whatever is left is removed with the staging folder.
class ExtractionStaging {
public:
    // Creates the output folder when needed, and the staging folder in it. Once `stop` is
    // requested, `publish` throws ConversionCancelled before it moves anything more.
    explicit ExtractionStaging(const std::filesystem::path& outputFolder, std::stop_token stop = {});
    ~ExtractionStaging();

    ExtractionStaging(const ExtractionStaging&) = delete;
    ExtractionStaging& operator=(const ExtractionStaging&) = delete;

    const std::filesystem::path& path() const { return staging_; }

    // Checks what was extracted and moves it into the output folder. Nothing there is
    // replaced: a folder of the same name is merged with, anything else of the same name
    // (another archive's file, a link, which is never followed) stays, and the entry
    // comes in beside it under a unique name (IMG_0001_3fa2c91e.jpg). Links that point
    // outside the extracted tree are left out. Throws ConversionError::exportFailed(archive,
    // ...) when nothing is left to move, or when an entry is a device, a pipe or a socket.
    // Set-user-id and set-group-id bits are dropped.
    void publish(const std::filesystem::path& archive);

private:
    std::filesystem::path outputFolder_;
    std::filesystem::path staging_;
    std::stop_token stop_;
};

} // namespace vantory
