#include "Converters/Data/SortedJsonFormatter.h"

#include "Converters/Data/JsonBuilder.h"
#include "Converters/Data/JsonDocument.h"
#include "Converters/Data/JsonSpans.h"
#include "Converters/Data/PrettyJsonWriter.h"

#include <algorithm>
#include <deque>

#include <optional>

namespace vantory::data {

namespace {

using Json = nlohmann::json;

// Parse events in for a document that is not a top-level object (those are written by
// IndexedObjectWriter): each element of a top-level array is built, written and dropped
// in turn, and a bare scalar is refused.
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
        if (!insideArray_) {
            insideArray_ = true;
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

    // A scalar directly inside the top-level array, or a bare scalar document.
    template <class Value>
    bool element(Value&& value)
    {
        if (!insideArray_)
            throw malformedJsonError();
        writeElement(Json(std::forward<Value>(value)));
        return true;
    }

    bool startContainer(bool (Builder::*start)(std::size_t), std::size_t size)
    {
        if (!builder_) {
            element_ = Json();
            builder_.emplace(element_, 1);
        }
        return ((*builder_).*start)(size);
    }

    bool endContainer(bool (Builder::*end)())
    {
        const bool accepted = ((*builder_).*end)();
        if (builder_->isComplete()) {
            builder_.reset();
            writeElement(element_);
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
    bool insideArray_ = false;
    Json element_;
    std::optional<Builder> builder_;
    std::size_t elementsWritten_ = 0;
};

// Checks a whole document without building it: well formed, and nested no deeper
// than maxJsonDepth.
class Validator : public JsonEventTypes<> {
public:
    bool null() { return true; }
    bool boolean(bool) { return true; }
    bool number_integer(number_integer_t) { return true; }
    bool number_unsigned(number_unsigned_t) { return true; }
    bool number_float(number_float_t, const string_t&) { return true; }
    bool string(string_t&) { return true; }
    bool binary(binary_t&) { return true; }
    bool key(string_t&) { return true; }
    bool start_object(std::size_t) { return enter(); }
    bool start_array(std::size_t) { return enter(); }
    bool end_object() { return leave(); }
    bool end_array() { return leave(); }

    template <class Exception>
    bool parse_error(std::size_t, const std::string&, const Exception&)
    {
        throw malformedJsonError();
    }

private:
    bool enter()
    {
        if (++depth_ > maxJsonDepth)
            throw jsonTooDeepError();
        return true;
    }
    bool leave()
    {
        --depth_;
        return true;
    }

    int depth_ = 0;
};

// Writes an object member by member in key order without building it: its members are
// found in the input, sorted by key, and each written in turn. A value smaller than
// `wholeValueLimit` is built and written whole; a larger object is written the same way
// as the top one, and a larger array element by element.
class IndexedObjectWriter {
public:
    IndexedObjectWriter(OutputFile& out, std::size_t wholeValueLimit) : out_(out), writer_(out), wholeValueLimit_(wholeValueLimit)
    {
    }

    void write(std::string_view value, unsigned indent)
    {
        if (value.size() < wholeValueLimit_ || (value.front() != '{' && value.front() != '['))
            writeWhole(value, indent);
        else if (value.front() == '{')
            writeObject(value, indent);
        else
            writeArray(value, indent);
    }

private:
    struct Member {
        std::string_view key; // unescaped
        std::string_view writtenKey;
        std::string_view value;
    };

    void writeWhole(std::string_view value, unsigned indent)
    {
        Json built;
        JsonBuilder<Json> builder(built);
        Json::sax_parse(value.begin(), value.end(), &builder);
        writer_.write(built, indent);
    }

    void writeObject(std::string_view object, unsigned indent)
    {
        std::deque<std::string> unescapedKeys;
        const std::vector<Member> members = sortedMembers(object, unescapedKeys);
        if (members.empty()) {
            out_.append("{}");
            return;
        }
        out_.append("{\n");
        for (std::size_t i = 0; i < members.size(); ++i) {
            if (i > 0)
                out_.append(",\n");
            writeIndent(indent + indentStep);
            writeKey(members[i]);
            out_.append(": ");
            write(members[i].value, indent + indentStep);
        }
        out_.append("\n");
        writeIndent(indent);
        out_.append("}");
    }

    void writeArray(std::string_view array, unsigned indent)
    {
        bool first = true;
        JsonSpans::forEachElement(array, [&](std::string_view element) {
            out_.append(first ? "[\n" : ",\n");
            first = false;
            writeIndent(indent + indentStep);
            write(element, indent + indentStep);
        });
        if (first) {
            out_.append("[]");
            return;
        }
        out_.append("\n");
        writeIndent(indent);
        out_.append("]");
    }

    // In ascending key order; of members with the same key only the last counts, as when
    // the document is parsed whole.
    static std::vector<Member> sortedMembers(std::string_view object, std::deque<std::string>& unescapedKeys)
    {
        std::vector<Member> members;
        JsonSpans::forEachMember(object, [&](std::string_view key, std::string_view value) {
            members.push_back({unescaped(key, unescapedKeys), key, value});
        });
        std::stable_sort(members.begin(), members.end(), [](const Member& a, const Member& b) { return a.key < b.key; });
        const auto lastOfEachKey = std::unique(members.rbegin(), members.rend(),
                                               [](const Member& a, const Member& b) { return a.key == b.key; });
        members.erase(members.begin(), lastOfEachKey.base());
        return members;
    }

    // The key without its quotes, its escapes resolved.
    static std::string_view unescaped(std::string_view quotedKey, std::deque<std::string>& unescapedKeys)
    {
        if (quotedKey.find('\\') == std::string_view::npos)
            return quotedKey.substr(1, quotedKey.size() - 2);
        return unescapedKeys.emplace_back(Json::parse(quotedKey).get<std::string>());
    }

    // A key without escapes is written as it stands; one with escapes as the library's
    // writer escapes it.
    void writeKey(const Member& member)
    {
        if (member.writtenKey.find('\\') == std::string_view::npos)
            out_.append(member.writtenKey);
        else
            writer_.write(Json(member.key));
    }

    void writeIndent(unsigned width)
    {
        for (unsigned i = 0; i < width; ++i)
            out_.push_back(' ');
    }

    static constexpr unsigned indentStep = 2;

    OutputFile& out_;
    PrettyJsonWriter writer_;
    const std::size_t wholeValueLimit_;
};

// `begin` is where the top-level object starts.
void writeSortedObjectDocument(std::string_view bytes, std::size_t begin, OutputFile& out, std::size_t wholeValueLimit)
{
    Validator validator;
    Json::sax_parse(bytes.begin(), bytes.end(), &validator);
    IndexedObjectWriter(out, wholeValueLimit).write(bytes.substr(begin, JsonSpans::valueEnd(bytes, begin) - begin), 0);
}

} // namespace

void writeSortedPrettyJson(std::string_view bytes, OutputFile& out, std::size_t wholeValueLimit)
{
    const std::size_t begin = jsonValueStart(bytes);
    if (begin < bytes.size() && bytes[begin] == '{') {
        writeSortedObjectDocument(bytes, begin, out, wholeValueLimit);
        return;
    }
    SortedFormatter formatter(out);
    Json::sax_parse(bytes.begin(), bytes.end(), &formatter);
}

} // namespace vantory::data
