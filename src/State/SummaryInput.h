#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>

namespace vantory {

// The part of a document a summary is made of, or why there is none.
struct SummaryInput {
    // The summariser is given at most this many characters (grapheme clusters).
    static constexpr std::size_t longestText = 14'000;
    // What the summarize row shows for a document without text, or one of which the
    // model could say nothing.
    static constexpr const char* noTextMessage = "No text content to summarize";

    std::string text;
    bool wasCut = false; // the document holds more than `text`
    std::optional<std::string> error; // what the summarize row shows instead

    // Reads a PDF's text, or any other file as UTF-8, and cuts it. Slow: never on the UI thread.
    static SummaryInput read(const std::filesystem::path& document);
};

// The first `count` grapheme clusters of the UTF-8 `text`, and whether any were left out.
std::pair<std::string, bool> firstCharacters(const std::string& text, std::size_t count);

} // namespace vantory
