#include "Converters/Data/XmlPropertyListNesting.h"

namespace vantory::data {

namespace {

constexpr std::size_t npos = std::string_view::npos;

bool isTagNameEnd(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '<' || c == '>';
}

// The first position at or after `from` where `matches` holds, stepping over
// double-quoted runs whole (single quotes are plain characters to the library).
template <class Match>
std::size_t findOutsideQuotes(std::string_view text, std::size_t from, Match matches)
{
    for (std::size_t at = from; at < text.size(); ++at) {
        if (text[at] == '"') {
            at = text.find('"', at + 1);
            if (at == npos)
                return npos;
        } else if (matches(at)) {
            return at;
        }
    }
    return npos;
}

std::size_t findOutsideQuotes(std::string_view text, std::size_t from, std::string_view needle)
{
    return findOutsideQuotes(text, from, [&](std::size_t at) { return text.substr(at).starts_with(needle); });
}

class NestingScan {
public:
    NestingScan(std::string_view text, int maxDepth) : text_(text), maxDepth_(maxDepth) { }

    bool run()
    {
        for (;;) {
            const std::size_t open = text_.find('<', position_);
            if (open == npos)
                return true;
            const std::string_view rest = text_.substr(open);
            bool understood = false;
            if (rest.starts_with("<!--"))
                understood = skipPast(open + 4, "-->");
            else if (rest.starts_with("<![CDATA["))
                understood = skipPast(open + 9, "]]>");
            else if (rest.starts_with("<!DOCTYPE"))
                understood = doctype(open + 9);
            else if (rest.starts_with("<!"))
                understood = false;
            else if (rest.starts_with("<?"))
                understood = skipPastOutsideQuotes(open + 2, "?>");
            else
                understood = tag(open + 1);
            if (!understood)
                return false;
        }
    }

private:
    bool skipPast(std::size_t from, std::string_view terminator)
    {
        return moveTo(text_.find(terminator, from), terminator.size());
    }

    bool skipPastOutsideQuotes(std::size_t from, std::string_view terminator)
    {
        return moveTo(findOutsideQuotes(text_, from, terminator), terminator.size());
    }

    bool moveTo(std::size_t found, std::size_t length)
    {
        if (found == npos)
            return false;
        position_ = found + length;
        return true;
    }

    // A document type ends at its first '>', or with "]>" once an internal subset opens.
    bool doctype(std::size_t from)
    {
        const std::size_t end = findOutsideQuotes(text_, from,
                                                  [&](std::size_t at) { return text_[at] == '[' || text_[at] == '>'; });
        if (end == npos)
            return false;
        if (text_[end] == '>')
            return moveTo(end, 1);
        return skipPastOutsideQuotes(end + 1, "]>");
    }

    bool tag(std::size_t nameStart)
    {
        std::size_t nameEnd = nameStart;
        while (nameEnd < text_.size() && !isTagNameEnd(text_[nameEnd]))
            ++nameEnd;
        if (nameEnd == text_.size())
            return false;
        const std::size_t end = text_[nameEnd] == '>' ? nameEnd : findOutsideQuotes(text_, nameEnd, [&](std::size_t at) {
            return text_[at] == '<' || text_[at] == '>';
        });
        if (end == npos || text_[end] != '>')
            return false;
        std::string_view name = text_.substr(nameStart, nameEnd - nameStart);
        const bool empty = text_[end - 1] == '/';
        if (empty && name.ends_with('/'))
            name.remove_suffix(1);
        position_ = end + 1;
        return element(name, empty);
    }

    bool element(std::string_view name, bool empty)
    {
        if (name == "array" || name == "dict") {
            if (depth_ + 1 > maxDepth_)
                return false;
            if (!empty)
                ++depth_;
            return true;
        }
        if (name == "/array" || name == "/dict") {
            if (depth_ > 0)
                --depth_;
            return true;
        }
        // "arrays", "dict2"... are no property-list elements; the library refuses them.
        return !(name.starts_with("array") || name.starts_with("dict") || name.starts_with("/array")
                 || name.starts_with("/dict"));
    }

    std::string_view text_;
    int maxDepth_;
    std::size_t position_ = 0;
    int depth_ = 0;
};

} // namespace

bool xmlPropertyListNestsWithin(std::string_view text, int maxDepth)
{
    return NestingScan(text, maxDepth).run();
}

} // namespace vantory::data
