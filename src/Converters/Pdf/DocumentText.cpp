#include "Converters/Pdf/DocumentText.h"

#include "Converters/Pdf/PageWorkers.h"
#include "Converters/Pdf/PopplerDocument.h"

#include <poppler/cpp/poppler-page.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

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

// Takes the pages' texts as they are read, in any order, and passes them on in page
// order as soon as every page before them has been passed on.
class PageOrderedText {
public:
    using Writer = std::function<void(std::string_view)>;

    PageOrderedText(const Writer& write, int pages) : write_(write), waiting_(static_cast<std::size_t>(pages)) { }

    void add(int index, std::vector<char> utf8)
    {
        const std::lock_guard lock(mutex_);
        waiting_[static_cast<std::size_t>(index)] = std::move(utf8);
        for (; next_ < waiting_.size() && waiting_[next_]; ++next_) {
            append(withoutPageBreak(*waiting_[next_]));
            waiting_[next_].reset();
        }
    }

    bool visible() const { return visible_; }

private:
    void append(std::string_view text)
    {
        write_(text);
        if (!text.empty() && text.back() != '\n')
            write_("\n");
        visible_ = visible_ || hasVisibleText(text);
    }

    const Writer& write_;
    std::mutex mutex_;
    // A page's text while it waits for the pages before it; an empty vector stands for a
    // page that has no text or could not be read.
    std::vector<std::optional<std::vector<char>>> waiting_;
    std::size_t next_ = 0;
    bool visible_ = false;
};

// Reads the pages' texts on the page workers and writes them in page order, each ending
// in a line break unless empty. Returns whether any of it is visible.
bool writePagesText(const std::filesystem::path& url, const PageOrderedText::Writer& write)
{
    const auto document = PopplerDocument::open(url);
    PageOrderedText text(write, document->pages());
    PageWorkers::forEachPage(url, *document, {}, [&](poppler::document& pages, int index) {
        const std::unique_ptr<poppler::page> page(pages.create_page(index));
        text.add(index,
                 page ? page->text(poppler::rectf(), poppler::page::non_raw_non_physical_layout).to_utf8() : std::vector<char>());
    });
    return text.visible();
}

} // namespace

bool appendPdfText(const std::filesystem::path& url, OutputFile& output)
{
    return writePagesText(url, [&](std::string_view text) { output.append(text); });
}

std::string pdfText(const std::filesystem::path& url)
{
    std::string whole;
    writePagesText(url, [&](std::string_view text) { whole += text; });
    return whole;
}

} // namespace vantory::DocumentText
