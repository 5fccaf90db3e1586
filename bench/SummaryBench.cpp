#include "BenchCommands.h"

#include "Platform/ExtractiveSummary.h"
#include "Platform/InputFile.h"
#include "State/SummaryInput.h"

#include <chrono>
#include <fstream>
#include <iostream>

namespace {

// Summarises each text file's first 14,000 characters into <out>/<stem>.md and prints how
// long the summary itself took.
vantory::bench::Registration summarizeText("summarize_text", [](const std::vector<std::filesystem::path>& inputs,
                                                                const std::filesystem::path& out) {
    for (const auto& input : inputs) {
        const auto [text, wasCut] = vantory::firstCharacters(vantory::readUTF8File(input), vantory::SummaryInput::longestText);
        const auto start = std::chrono::steady_clock::now();
        std::string summary;
        for (const auto& piece : vantory::ExtractiveSummary::write(text))
            summary += piece;
        const auto took = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start);
        std::ofstream(out / (input.stem().string() + ".md")) << summary << '\n';
        std::cout << input.filename().string() << ": " << text.size() << " bytes summarised in " << took.count() << " ms\n";
    }
});

} // namespace
