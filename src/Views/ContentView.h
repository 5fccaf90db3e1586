#pragma once

#include "State/WidgetPhase.h"

#include <QPointer>
#include <QRegion>
#include <QWidget>
#include <functional>

class QLabel;
#include <QMenu>

namespace vantory {

class WidgetStateManager;

// What the panel shows: the idle orb or the card of the current phase, pushed toward the
// edge the panel is docked to. It tells the panel which part of it is visible.
class ContentView final : public QWidget {
    Q_OBJECT

public:
    static constexpr int orbSide = 72;
    static constexpr int cardSide = 320;
    static constexpr int orbOffset = 186;
    static constexpr int cardOffset = 62;

    explicit ContentView(WidgetStateManager& stateManager, QWidget* parent = nullptr);

    // The region the orb or card covers, in this view's coordinates.
    QRegion visibleRegion() const;

    // The shell's quit path, offered by the context menu.
    std::function<void()> onQuit;
    // A submenu the context menu offers too (the settings while there is no tray), or none.
    void setExtraMenu(QMenu* menu) { extraMenu_ = menu; }

Q_SIGNALS:
    void visibleRegionChanged(const QRegion& region);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void refresh();
    QPoint towardEdge(int offset) const;
    QRect centredRect(int side, int offset) const;

    WidgetStateManager& stateManager_;
    QWidget* orb_;
    QWidget* card_;
    QLabel* cardTitle_;
    QLabel* cardDetail_;
    QPointer<QMenu> extraMenu_;
};

} // namespace vantory
