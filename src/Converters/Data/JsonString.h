#pragma once

#include <string_view>

namespace vantory::data {

// Writes `text` as a quoted JSON string the way the JSON library's writer does: quote,
// backslash and control characters escaped (\b \f \n \r \t, else \u00xx), the slash and
// all other characters (UTF-8 included) written as they are.
// Sink: anything with append(std::string_view) and push_back(char).
template <class Sink>
void writeJsonString(Sink& sink, std::string_view text)
{
    static constexpr char hex[] = "0123456789abcdef";
    sink.push_back('"');
    std::size_t run = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c != '"' && c != '\\')
            continue;
        sink.append(text.substr(run, i - run));
        run = i + 1;
        switch (c) {
        case '"': sink.append("\\\""); break;
        case '\\': sink.append("\\\\"); break;
        case '\b': sink.append("\\b"); break;
        case '\f': sink.append("\\f"); break;
        case '\n': sink.append("\\n"); break;
        case '\r': sink.append("\\r"); break;
        case '\t': sink.append("\\t"); break;
        default: {
            const char escaped[] = {'\\', 'u', '0', '0', hex[c >> 4], hex[c & 0xF]};
            sink.append(std::string_view(escaped, sizeof escaped));
        }
        }
    }
    sink.append(text.substr(run));
    sink.push_back('"');
}

} // namespace vantory::data
