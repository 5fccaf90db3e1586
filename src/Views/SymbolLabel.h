#pragma once

#include <QLabel>
#include <string>

namespace vantory {

// A symbol of Icons shown as a label beside what it illustrates. It is decoration only, so
// assistive tools find it with no name: read aloud, its private-use glyph would mean nothing.
class SymbolLabel final : public QLabel {
    Q_OBJECT

public:
    SymbolLabel(const std::string& symbolName, const QFont& font, QWidget* parent = nullptr);

    void setSymbol(const std::string& symbolName);
    const std::string& symbol() const { return symbol_; }

private:
    std::string symbol_;
};

} // namespace vantory
