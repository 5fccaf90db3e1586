#include "Models/Base64Text.h"

#include <QChar>
#include <QFile>
#include <QStringDecoder>

namespace vantory {

namespace {

constexpr qint64 chunkSize = 64 * 1024;

bool isBase64Character(char32_t c)
{
    return QChar::isLetterOrNumber(c) || QChar::isMark(c) || c == U'+' || c == U'/' || c == U'='
        || c == U'\n' || c == U'\r' || c == U' ';
}

// Follows the text character by character. White space outside the allowed set is
// only acceptable at either end, where trimming would remove it.
class Base64TextScan {
public:
    // False as soon as the text can no longer pass.
    bool feed(const QString& text)
    {
        for (const char32_t c : text.toUcs4()) {
            if (!accept(c))
                return false;
        }
        return true;
    }

    bool passed() const { return sawContent_; }

private:
    bool accept(char32_t c)
    {
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

    bool sawContent_ = false;
    bool foreignSpaceAfterContent_ = false;
};

} // namespace

bool readsAsBase64Text(const std::filesystem::path& file)
{
    QFile input(QString::fromStdString(file.string()));
    if (!input.open(QIODevice::ReadOnly))
        return false;

    QStringDecoder decoder(QStringConverter::Utf8);
    Base64TextScan scan;
    while (true) {
        const QByteArray chunk = input.read(chunkSize);
        if (chunk.isEmpty())
            break;
        const QString text = decoder.decode(chunk);
        if (decoder.hasError() || !scan.feed(text))
            return false;
    }
    if (input.error() != QFileDevice::NoError)
        return false;
    // A final line feed ends any byte sequence cut short at the end of the file, which
    // the decoder then reports; as trailing white space it cannot change the verdict.
    const QString rest = decoder.decode(QByteArrayView("\n"));
    if (decoder.hasError())
        return false;
    return scan.feed(rest) && scan.passed();
}

} // namespace vantory
