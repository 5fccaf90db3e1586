#pragma once

#include <QPointF>
#include <QRegion>
#include <QWidget>
#include <functional>
#include <optional>

namespace vantory {

// The one window of the application: a frameless, translucent tool window that stays above
// the others on every desktop, is never activated by showing, and is moved by dragging its
// visible part. Only the visible element (the orb or a card) takes the pointer.
class FloatingPanel final : public QWidget {
    Q_OBJECT

public:
    explicit FloatingPanel(QWidget* parent = nullptr);

    // Called when a press that moved the panel more than a few pixels is released.
    std::function<void()> onDragEnd;

    // The visible element, in the panel's coordinates; pointer input outside it goes to
    // the windows below.
    void setVisibleRegion(const QRegion& region);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool startsInTextField(const QPointF& position) const;
    QPointF screenLocation(const QMouseEvent* event) const;
    void applyMask();

    std::optional<QPointF> dragStartLocation_; // screen coordinates
    QPointF dragStartPointer_;
    QPoint dragStartPosition_;
    QRegion visibleRegion_;
};

} // namespace vantory
