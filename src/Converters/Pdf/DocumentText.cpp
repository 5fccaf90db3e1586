#include "Converters/Pdf/DocumentText.h"

#include "Converters/Pdf/PopplerDocument.h"

#include <poppler/cpp/poppler-page.h>

#include <algorithm>
#include <cctype>
#include <memory>

namespace vantory::DocumentText {

namespace {

bool hasVisibleText(std::string_view text)
{
    return std::any_of(text.begin(), text.end(), [](char c) { return !std::isspace(static_cast<unsigned char>(c)); });
}

// Poppler ends each page with a form feed; the file gets line breaks instead.
std::string_view withoutPageBreak(const std::vector<char>& text)
{
    std::string_view view(text.data(), text.size());
    while (!view.empty() && view.back() == '\f')
        view.remove_suffix(1);
    return view;
}

// Calls `take` with each page's text in turn, each ending in a line break unless empty.
void forEachPageText(const std::filesystem::path& url, const std::function<void(std::string_view)>& take)
{
    const auto document = PopplerDocument::open(url);
    const int count = document->pages();
    for (int index = 0; index < count; ++index) {
        const std::unique_ptr<poppler::page> page(document->create_page(index));
        if (!page)
            continue;
        const std::vector<char> utf8 = page->text(poppler::rectf(), poppler::page::non_raw_non_physical_layout).to_utf8();
        const std::string_view text = withoutPageBreak(utf8);
        take(text);
        if (!text.empty() && text.back() != '\n')
            take("\n");
    }
}

} // namespace

bool appendPdfText(const std::filesystem::path& url, OutputFile& output)
{
    bool visible = false;
    forEachPageText(url, [&](std::string_view text) {
        output.append(text);
        visible = visible || hasVisibleText(text);
    });
    return visible;
}

std::string pdfText(const std::filesystem::path& url)
{
    std::string whole;
    forEachPageText(url, [&](std::string_view text) { whole += text; });
    return whole;
}

} // namespace vantory::DocumentText
