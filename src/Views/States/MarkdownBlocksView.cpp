#include "Views/States/MarkdownBlocksView.h"

#include "Views/Theme.h"
#include "Views/Typography.h"

#include <QLabel>
#include <QVBoxLayout>

namespace vantory {

namespace {

bool isSpace(QChar c)
{
    return c == QLatin1Char('\t') || c.category() == QChar::Separator_Space;
}

QString trimmedOfSpaces(const QString& piece)
{
    qsizetype start = 0;
    qsizetype end = piece.size();
    while (start < end && isSpace(piece[start]))
        ++start;
    while (end > start && isSpace(piece[end - 1]))
        --end;
    return piece.mid(start, end - start);
}

} // namespace

MarkdownBlocksView::MarkdownBlocksView(QWidget* parent) : QWidget(parent), column_(new QVBoxLayout(this))
{
    column_->setContentsMargins(0, 0, 0, 0);
    column_->setSpacing(2);
    // A short text keeps its lines together at the top.
    column_->setAlignment(Qt::AlignTop);
}

std::vector<MarkdownLine> MarkdownBlocksView::lines(const QString& text)
{
    std::vector<MarkdownLine> result;
    const QStringList pieces = text.split(QLatin1Char('\n'));
    for (int i = 0; i < pieces.size(); ++i) {
        const QString content = trimmedOfSpaces(pieces[i]);
        result.push_back({i, content, content.isEmpty()});
    }
    return result;
}

void MarkdownBlocksView::setText(const QString& text)
{
    text_ = text;
    const auto wanted = lines(text);
    // A stream only grows at its end: the lines already shown are kept.
    std::size_t same = 0;
    while (same < wanted.size() && same < shown_.size() && wanted[same] == shown_[same])
        ++same;
    while (rows_.size() > same) {
        delete rows_.back();
        rows_.pop_back();
    }
    for (std::size_t i = same; i < wanted.size(); ++i) {
        rows_.push_back(makeRow(wanted[i]));
        column_->addWidget(rows_.back());
    }
    shown_ = wanted;
}

QWidget* MarkdownBlocksView::makeRow(const MarkdownLine& line)
{
    if (line.isBlank) {
        auto* gap = new QWidget(this);
        gap->setFixedHeight(blankLineHeight);
        return gap;
    }
    auto* label = Typography::label({}, Typography::font(Theme::TextSize::body), Theme::textPrimary(), this);
    label->setTextFormat(Qt::MarkdownText);
    label->setText(line.content);
    label->setAlignment(Qt::AlignLeading | Qt::AlignTop);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setCursor(Qt::IBeamCursor);
    return label;
}

} // namespace vantory
