#include "Converters/Data/JsonMinifier.h"

#include "Converters/Data/JsonErrors.h"
#include "Converters/Data/JsonEventTypes.h"
#include "Converters/Data/JsonString.h"

#include <charconv>
#include <nlohmann/json.hpp>
#include <vector>

namespace vantory::data {

namespace {

using Json = nlohmann::json;

class Minifier : public JsonEventTypes<> {
public:
    explicit Minifier(OutputFile& out) : out_(out) { }

    bool null() { return literal("null"); }
    bool boolean(bool value) { return literal(value ? "true" : "false"); }
    bool number_integer(number_integer_t value) { return isNegativeZero(value) ? literal("-0") : integer(value); }
    bool number_unsigned(number_unsigned_t value) { return integer(value); }
    bool number_float(number_float_t, const string_t& text)
    {
        scalarValue();
        writeNumberText(text);
        return true;
    }
    bool string(string_t& value)
    {
        scalarValue();
        writeJsonString(out_, value);
        return true;
    }
    bool binary(binary_t&) { throw malformedJsonError(); } // never produced by the text reader

    bool key(string_t& value)
    {
        separateFromPrevious();
        writeJsonString(out_, value);
        out_.push_back(':');
        afterKey_ = true;
        return true;
    }

    bool start_object(std::size_t) { return open('{'); }
    bool start_array(std::size_t) { return open('['); }
    bool end_object() { return close('}'); }
    bool end_array() { return close(']'); }

    template <class Exception>
    bool parse_error(std::size_t, const std::string&, const Exception&)
    {
        throw malformedJsonError();
    }

private:
    bool literal(std::string_view text)
    {
        scalarValue();
        out_.append(text);
        return true;
    }

    template <class Integer>
    bool integer(Integer value)
    {
        scalarValue();
        char digits[24];
        const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
        out_.append(std::string_view(digits, static_cast<std::size_t>(end - digits)));
        return true;
    }

    // The reader keeps a number's own text, but with the C locale's decimal point in
    // place of the dot; put the dot back.
    void writeNumberText(std::string_view text)
    {
        for (const char c : text) {
            const bool numberCharacter = (c >= '0' && c <= '9') || c == '-' || c == '+' || c == 'e' || c == 'E';
            out_.push_back(numberCharacter ? c : '.');
        }
    }

    void scalarValue()
    {
        if (hasMembers_.empty())
            throw malformedJsonError(); // a bare scalar is not a document here
        separateFromPrevious();
    }

    bool open(char bracket)
    {
        separateFromPrevious();
        out_.push_back(bracket);
        hasMembers_.push_back(false);
        return true;
    }

    bool close(char bracket)
    {
        hasMembers_.pop_back();
        out_.push_back(bracket);
        return true;
    }

    // A comma before every member or element but the first; none between key and value.
    void separateFromPrevious()
    {
        if (afterKey_) {
            afterKey_ = false;
            return;
        }
        if (hasMembers_.empty())
            return;
        if (hasMembers_.back())
            out_.push_back(',');
        hasMembers_.back() = true;
    }

    OutputFile& out_;
    std::vector<bool> hasMembers_;
    bool afterKey_ = false;
};

} // namespace

void writeMinifiedJson(std::string_view bytes, OutputFile& out)
{
    Minifier minifier(out);
    Json::sax_parse(bytes.begin(), bytes.end(), &minifier);
}

} // namespace vantory::data
