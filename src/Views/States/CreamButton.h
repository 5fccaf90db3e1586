#pragma once

#include <QAbstractButton>

namespace vantory {

// A full-width text button on a cream rounded rectangle, as the converting card's Cancel.
class CreamButton final : public QAbstractButton {
    Q_OBJECT

public:
    explicit CreamButton(const QString& text, QWidget* parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    static constexpr int verticalPadding = 10;
    static constexpr double cornerRadius = 12;
};

} // namespace vantory
