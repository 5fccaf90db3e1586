#pragma once

#include "Views/Components/PlainButton.h"

class QLabel;

namespace vantory {

// A run's or a drop's error across the foot of the action card, in red on a faint red
// rounded rectangle; a click dismisses it. Named by its message.
class ErrorBanner final : public PlainButton {
    Q_OBJECT

public:
    explicit ErrorBanner(QWidget* parent = nullptr);

    void setMessage(const QString& message);
    QString message() const;

    // How far the banner has come in: at 1 it rests in its place; below, it sits that much
    // of its height higher up and as transparent, as when it slides in from above or away.
    void setPresence(double presence);
    double presence() const { return presence_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    double slideOffset() const;

    double presence_ = 1;
    QWidget* face_;
    QLabel* message_;
};

} // namespace vantory
