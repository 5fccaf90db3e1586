#pragma once

#include "Converters/OutputFile.h"

#include <memory>
#include <nlohmann/json.hpp>

namespace vantory::data {

// The JSON library's own writer aimed at an OutputFile: indented by two spaces, one
// member or element per line, "key": value, slashes written plainly, no final line end.
class PrettyJsonWriter {
public:
    explicit PrettyJsonWriter(OutputFile& out);
    ~PrettyJsonWriter();

    // `indent`: the indentation of the line the value starts on, so a value written
    // inside a hand-written enclosing array lines up with its neighbours.
    void write(const nlohmann::json& value, unsigned indent = 0);

private:
    struct Serializer;
    std::unique_ptr<Serializer> serializer_;
};

// One whole document.
void writePrettyJson(const nlohmann::json& value, OutputFile& out);

} // namespace vantory::data
