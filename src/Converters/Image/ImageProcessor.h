#pragma once

#include "Converters/DispatchTable.h"

#include <filesystem>
#include <stop_token>
#include <string>

// The image actions: conversion between formats, re-compression to JPEG and background
// removal. Each operation writes one new file into `outputFolder`, named after the
// input, and throws ConversionError for the failures it recognises, or PlatformError for
// failures of the system or a library. Once `stop` is requested an operation throws
// ConversionCancelled and publishes nothing.
namespace vantory::ImageProcessor {

// The three operations below under their action ids, on the serial lane.
DispatchTable rows();

// stem.<target>. A source already in the target format is copied unchanged; "svg" is
// refused without reading the file; a target outside the writers' formats is refused
// after the file is read, with the target as given. JPEG and BMP lose transparency onto
// white.
void convertFormat(const std::filesystem::path& url, const std::string& targetFormat, const std::filesystem::path& outputFolder,
                   std::stop_token stop = {});

// stem.jpg at a lower quality, transparency onto white, whatever the source format and
// even when the result is larger.
void compressImage(const std::filesystem::path& url, const std::filesystem::path& outputFolder, std::stop_token stop = {});

// stem_nobg.png: the subject kept, the background made transparent.
void removeBackground(const std::filesystem::path& url, const std::filesystem::path& outputFolder, std::stop_token stop = {});

} // namespace vantory::ImageProcessor
