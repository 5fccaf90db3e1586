#include "Converters/Data/SortedJsonFormatter.h"

#include "Converters/Data/JsonBuilder.h"
#include "Converters/Data/PrettyJsonWriter.h"

#include <optional>

namespace vantory::data {

namespace {

using Json = nlohmann::json;

// Parse events in; for a top-level array each element is built, written and dropped in
// turn; a top-level object is built whole and written at its end.
class SortedFormatter : public JsonEventTypes<> {
public:
    explicit SortedFormatter(OutputFile& out) : out_(out), writer_(out) { }

    bool null() { return builder_ ? builder_->null() : element(nullptr); }
    bool boolean(bool value) { return builder_ ? builder_->boolean(value) : element(value); }
    bool number_integer(number_integer_t value)
    {
        if (builder_)
            return builder_->number_integer(value);
        return isNegativeZero(value) ? element(-0.0) : element(value);
    }
    bool number_unsigned(number_unsigned_t value) { return builder_ ? builder_->number_unsigned(value) : element(value); }
    bool number_float(number_float_t value, const string_t& text)
    {
        return builder_ ? builder_->number_float(value, text) : element(value);
    }
    bool string(string_t& value) { return builder_ ? builder_->string(value) : element(std::move(value)); }
    bool binary(binary_t& value) { return builder_ ? builder_->binary(value) : element(Json::binary(std::move(value))); }
    bool key(string_t& value) { return builder_->key(value); }

    bool start_object(std::size_t size) { return startContainer(&Builder::start_object, size); }
    bool start_array(std::size_t size)
    {
        if (root_ == Root::none) {
            root_ = Root::array;
            return true;
        }
        return startContainer(&Builder::start_array, size);
    }
    bool end_object() { return endContainer(&Builder::end_object); }
    bool end_array()
    {
        if (!builder_) {
            out_.append(elementsWritten_ == 0 ? "[]" : "\n]");
            return true;
        }
        return endContainer(&Builder::end_array);
    }

    template <class Exception>
    bool parse_error(std::size_t, const std::string&, const Exception&)
    {
        throw malformedJsonError();
    }

private:
    using Builder = JsonBuilder<Json>;
    enum class Root { none, array, object };

    // A scalar directly inside the top-level array, or a bare scalar document.
    template <class Value>
    bool element(Value&& value)
    {
        if (root_ == Root::none)
            throw malformedJsonError();
        writeElement(Json(std::forward<Value>(value)));
        return true;
    }

    bool startContainer(bool (Builder::*start)(std::size_t), std::size_t size)
    {
        if (!builder_) {
            if (root_ == Root::none)
                root_ = Root::object;
            element_ = Json();
            builder_.emplace(element_, root_ == Root::array ? 1 : 0);
        }
        return ((*builder_).*start)(size);
    }

    bool endContainer(bool (Builder::*end)())
    {
        const bool accepted = ((*builder_).*end)();
        if (builder_->isComplete()) {
            builder_.reset();
            if (root_ == Root::array)
                writeElement(element_);
            else
                writer_.write(element_);
            element_ = Json();
        }
        return accepted;
    }

    void writeElement(const Json& value)
    {
        out_.append(elementsWritten_++ == 0 ? "[\n  " : ",\n  ");
        writer_.write(value, 2);
    }

    OutputFile& out_;
    PrettyJsonWriter writer_;
    Root root_ = Root::none;
    Json element_;
    std::optional<Builder> builder_;
    std::size_t elementsWritten_ = 0;
};

} // namespace

void writeSortedPrettyJson(std::string_view bytes, OutputFile& out)
{
    SortedFormatter formatter(out);
    Json::sax_parse(bytes.begin(), bytes.end(), &formatter);
}

} // namespace vantory::data
