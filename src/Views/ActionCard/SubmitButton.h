#pragma once

#include <QAbstractButton>

namespace vantory {

// The full-width button under the password boxes: accent with white text while it can act,
// faint grey otherwise. Space and Return click it once it has the keyboard focus.
class SubmitButton final : public QAbstractButton {
    Q_OBJECT

public:
    explicit SubmitButton(const QString& text, QWidget* parent = nullptr);

    void setReady(bool ready);
    bool isReady() const { return ready_; }

    QSize sizeHint() const override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool ready_ = false;
};

} // namespace vantory
