#pragma once

#include <string>
#include <vector>

// A short structured summary made of a text's own sentences, chosen by TextRank over
// TF-IDF sentence vectors: an overview sentence, two to four sections under a bold header,
// and a "Takeaway" section, under 250 words. The same text always gives the same summary.
namespace vantory::ExtractiveSummary {

constexpr int wordLimit = 250;

// The summary in the order it is written, one sentence a piece (a section's header comes
// with its first sentence): the pieces joined make the whole summary. Empty for a text
// without a sentence.
std::vector<std::string> write(const std::string& text);

} // namespace vantory::ExtractiveSummary
