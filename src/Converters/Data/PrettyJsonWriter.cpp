#include "Converters/Data/PrettyJsonWriter.h"

namespace vantory::data {

namespace {

constexpr unsigned indentStep = 2;

class OutputFileAdapter final : public nlohmann::detail::output_adapter_protocol<char> {
public:
    explicit OutputFileAdapter(OutputFile& out) : out_(out) { }
    void write_character(char c) override { out_.push_back(c); }
    void write_characters(const char* s, std::size_t length) override { out_.append({s, length}); }

private:
    OutputFile& out_;
};

} // namespace

struct PrettyJsonWriter::Serializer {
    explicit Serializer(OutputFile& out)
        : serializer(std::make_shared<OutputFileAdapter>(out), ' ', nlohmann::detail::error_handler_t::strict)
    {
    }
    nlohmann::detail::serializer<nlohmann::json> serializer;
};

PrettyJsonWriter::PrettyJsonWriter(OutputFile& out) : serializer_(std::make_unique<Serializer>(out))
{
}

PrettyJsonWriter::~PrettyJsonWriter() = default;

void PrettyJsonWriter::write(const nlohmann::json& value, unsigned indent)
{
    serializer_->serializer.dump(value, true, false, indentStep, indent);
}

void writePrettyJson(const nlohmann::json& value, OutputFile& out)
{
    PrettyJsonWriter(out).write(value);
}

} // namespace vantory::data
