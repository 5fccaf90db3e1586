#pragma once

#include <filesystem>
#include <optional>
#include <random>
#include <string>
#include <string_view>

namespace vantory::OutputFolderManager {

// The folder word of an action: "compressed", "merged_pdf", the target format, ...
std::string folderWord(const std::string& actionId, const std::optional<std::string>& targetFormat);

// Creates a fresh folder for one run in `base`, named word + "_" + the file's name
// (one file) or five random characters. The folder is always new: when that name is
// taken or cannot be made, another random name is tried. Returns none when no folder
// could be created, so a run never writes into, or later removes, a folder it did not make.
std::optional<std::filesystem::path> createOutputFolder(const std::filesystem::path& base, const std::filesystem::path& firstFile,
                                                        const std::string& actionId,
                                                        const std::optional<std::string>& targetFormat, int fileCount);

// `length` characters drawn uniformly from a-z0-9 with a cryptographically secure source.
std::string randomID(int length);

// `length` characters from a-z0-9, each equally likely whatever the range of `source`:
// draws from the uneven tail of its range are rejected, not folded onto the first characters.
template <std::uniform_random_bit_generator Source>
std::string randomID(int length, Source& source)
{
    static constexpr std::string_view alphabet = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::string result;
    for (int i = 0; i < length; ++i)
        result.push_back(alphabet[pick(source)]);
    return result;
}

} // namespace vantory::OutputFolderManager
