#pragma once

#include <QFont>
#include <QWidget>
#include <string>

class QLabel;

namespace vantory {

class SymbolLabel;

// What a card is about, at its top: a symbol and a text in the accent colour on a capsule
// of the accent at 10 %.
class LabelCapsule final : public QWidget {
    Q_OBJECT

public:
    LabelCapsule(const std::string& icon, const QString& text, const QFont& textFont, QWidget* parent = nullptr);

    void setLabel(const std::string& icon, const QString& text);
    QString text() const;
    std::string icon() const { return icon_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::string icon_;
    SymbolLabel* iconLabel_;
    QLabel* textLabel_;
};

} // namespace vantory
