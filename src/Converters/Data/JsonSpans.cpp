#include "Converters/Data/JsonSpans.h"

namespace vantory::data::JsonSpans {

namespace {

bool isWhitespace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// `at` is the opening quote; returns one past the closing one.
std::size_t stringEnd(std::string_view text, std::size_t at)
{
    for (++at; text[at] != '"'; ++at)
        if (text[at] == '\\')
            ++at;
    return at + 1;
}

std::size_t containerEnd(std::string_view text, std::size_t at)
{
    int depth = 0;
    for (;;) {
        const char c = text[at];
        if (c == '"') {
            at = stringEnd(text, at);
            continue;
        }
        if (c == '{' || c == '[')
            ++depth;
        else if ((c == '}' || c == ']') && --depth == 0)
            return at + 1;
        ++at;
    }
}

std::size_t scalarEnd(std::string_view text, std::size_t at)
{
    while (at < text.size() && !isWhitespace(text[at]) && text[at] != ',' && text[at] != '}' && text[at] != ']')
        ++at;
    return at;
}

std::string_view span(std::string_view text, std::size_t begin, std::size_t end)
{
    return text.substr(begin, end - begin);
}

// Calls `each(at)` with the position of every item of the container; `each` returns
// the end of the item it was given.
template <class Each>
void forEachItem(std::string_view container, Each each)
{
    std::size_t at = skipWhitespace(container, 1);
    if (container[at] == '}' || container[at] == ']')
        return;
    for (;;) {
        at = skipWhitespace(container, each(at));
        if (container[at] != ',')
            return;
        at = skipWhitespace(container, at + 1);
    }
}

} // namespace

std::size_t skipWhitespace(std::string_view text, std::size_t at)
{
    while (at < text.size() && isWhitespace(text[at]))
        ++at;
    return at;
}

std::size_t valueEnd(std::string_view text, std::size_t at)
{
    switch (text[at]) {
    case '"': return stringEnd(text, at);
    case '{':
    case '[': return containerEnd(text, at);
    default: return scalarEnd(text, at);
    }
}

void forEachMember(std::string_view object, const std::function<void(std::string_view key, std::string_view value)>& each)
{
    forEachItem(object, [&](std::size_t at) {
        const std::size_t keyEnd = stringEnd(object, at);
        const std::size_t valueBegin = skipWhitespace(object, skipWhitespace(object, keyEnd) + 1); // past the colon
        const std::size_t end = valueEnd(object, valueBegin);
        each(span(object, at, keyEnd), span(object, valueBegin, end));
        return end;
    });
}

void forEachElement(std::string_view array, const std::function<void(std::string_view element)>& each)
{
    forEachItem(array, [&](std::size_t at) {
        const std::size_t end = valueEnd(array, at);
        each(span(array, at, end));
        return end;
    });
}

} // namespace vantory::data::JsonSpans
