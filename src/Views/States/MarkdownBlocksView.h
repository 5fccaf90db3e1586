#pragma once

#include <QString>
#include <QWidget>
#include <vector>

class QLabel;
class QVBoxLayout;

namespace vantory {

// One line of a streamed summary, as the card shows it.
struct MarkdownLine {
    int id = 0; // the line's index in the text
    QString content; // trimmed; empty for a blank line
    bool isBlank = false;

    bool operator==(const MarkdownLine&) const = default;
};

// A text shown line by line: each line is read as Markdown on its own (so a list or a
// code fence spanning lines renders line by line), a blank line is a small gap. The text
// can be selected.
class MarkdownBlocksView final : public QWidget {
    Q_OBJECT

public:
    static constexpr int blankLineHeight = 8;

    explicit MarkdownBlocksView(QWidget* parent = nullptr);

    void setText(const QString& text);
    const QString& text() const { return text_; }

    // The text split at line feeds only, each piece trimmed of spaces, tabs and the other
    // space separators, but not of carriage returns.
    static std::vector<MarkdownLine> lines(const QString& text);

    // What shows each line: a QLabel, or a spacer for a blank line.
    QWidget* lineWidget(int index) const { return rows_.at(static_cast<std::size_t>(index)); }
    int lineCount() const { return static_cast<int>(rows_.size()); }

private:
    QWidget* makeRow(const MarkdownLine& line);

    QString text_;
    QVBoxLayout* column_;
    std::vector<MarkdownLine> shown_;
    std::vector<QWidget*> rows_;
};

} // namespace vantory
