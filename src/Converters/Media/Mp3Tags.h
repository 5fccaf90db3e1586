#pragma once

#include <filesystem>

namespace vantory {

class MediaInput;

// Creates `destination` holding only an ID3v2 tag with the source's tags (those of the
// file and of its first audio stream); MP3 frames appended after it make a tagged MP3.
// Throws MediaWriteError.
void writeMp3Tags(const MediaInput& source, const std::filesystem::path& destination);

} // namespace vantory
