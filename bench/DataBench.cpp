#include "BenchCommands.h"

#include "Converters/Data/DataFileProcessor.h"

namespace {

using Inputs = std::vector<std::filesystem::path>;
using Operation = void (*)(const std::filesystem::path&, const std::filesystem::path&);

vantory::bench::Command eachInput(Operation operation)
{
    return [operation](const Inputs& inputs, const std::filesystem::path& out) {
        for (const auto& input : inputs)
            operation(input, out);
    };
}

const vantory::bench::Registration formatJson("format_json", eachInput(vantory::DataFileProcessor::formatJSON));
const vantory::bench::Registration minifyJson("minify_json", eachInput(vantory::DataFileProcessor::minifyJSON));
const vantory::bench::Registration jsonToCsv("json_to_csv",
                                             eachInput([](const std::filesystem::path& input, const std::filesystem::path& out) {
                                                 vantory::DataFileProcessor::jsonToCSV(input, out);
                                             }));
const vantory::bench::Registration csvToJson("csv_to_json",
                                             eachInput([](const std::filesystem::path& input, const std::filesystem::path& out) {
                                                 vantory::DataFileProcessor::csvToJSON(input, out);
                                             }));

} // namespace
