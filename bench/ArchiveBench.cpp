#include "BenchCommands.h"

#include "BenchPassword.h"
#include "Converters/Archive/ArchiveProcessor.h"

namespace {

using Inputs = std::vector<std::filesystem::path>;
using Folder = std::filesystem::path;

vantory::bench::Registration zip("compress_zip", [](const Inputs& inputs, const Folder& out) {
    vantory::ArchiveProcessor::compressToZip(inputs, out);
});

vantory::bench::Registration zipWithPassword("compress_zip_pw", [](const Inputs& inputs, const Folder& out) {
    vantory::ArchiveProcessor::compressToZipWithPassword(inputs, vantory::bench::password(), out);
});

vantory::bench::Registration extract("extract_archive", [](const Inputs& inputs, const Folder& out) {
    for (const auto& input : inputs)
        vantory::ArchiveProcessor::extractArchive(input, out);
});

vantory::bench::Registration extractWithPassword("extract_archive_pw", [](const Inputs& inputs, const Folder& out) {
    for (const auto& input : inputs)
        vantory::ArchiveProcessor::extractArchiveWithPassword(input, vantory::bench::password(), out);
});

} // namespace
