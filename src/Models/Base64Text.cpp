#include "Models/Base64Text.h"

#include "Platform/Utf8Text.h"

#include <QChar>
#include <QFile>

namespace vantory {

namespace {

constexpr qint64 chunkSize = 64 * 1024;

bool isBase64Character(char32_t c)
{
    return QChar::isLetterOrNumber(c) || QChar::isMark(c) || c == U'+' || c == U'/' || c == U'=' || c == U'\n' || c == U'\r'
           || c == U' ';
}

// Follows the text character by character. White space outside the allowed set is
// only acceptable at either end, where trimming would remove it.
class Base64TextScan {
public:
    // False as soon as the text can no longer pass.
    bool feed(utf8::StreamDecoder& decoder)
    {
        while (const auto c = decoder.next()) {
            if (!accept(*c))
                return false;
        }
        return !decoder.failed();
    }

    bool passed() const { return sawContent_; }

private:
    bool accept(char32_t c)
    {
        if (atStart_ && c == byteOrderMark) {
            atStart_ = false;
            return true;
        }
        atStart_ = false;
        if (isBase64Character(c)) {
            if (!QChar::isSpace(c)) {
                if (foreignSpaceAfterContent_)
                    return false;
                sawContent_ = true;
            }
            return true;
        }
        if (QChar::isSpace(c)) {
            foreignSpaceAfterContent_ = foreignSpaceAfterContent_ || sawContent_;
            return true;
        }
        return false;
    }

    static constexpr char32_t byteOrderMark = 0xFEFF;

    bool atStart_ = true;
    bool sawContent_ = false;
    bool foreignSpaceAfterContent_ = false;
};

} // namespace

bool readsAsBase64Text(const std::filesystem::path& file)
{
    QFile input(QString::fromStdString(file.string()));
    if (!input.open(QIODevice::ReadOnly))
        return false;

    utf8::StreamDecoder decoder;
    Base64TextScan scan;
    while (true) {
        const QByteArray chunk = input.read(chunkSize);
        if (chunk.isEmpty())
            break;
        decoder.feed(std::string_view(chunk.constData(), static_cast<std::size_t>(chunk.size())));
        if (!scan.feed(decoder))
            return false;
    }
    if (input.error() != QFileDevice::NoError)
        return false;
    return !decoder.endsMidCharacter() && scan.passed();
}

} // namespace vantory
