#pragma once

#include "Platform/Scheduler.h"

#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <filesystem>
#include <vector>

class QMimeData;

namespace vantory {

class WidgetStateManager;

// The panel's content: the only way files enter the program. It offers a copy to every
// drag, moves the widget between idle and hovering while a drag passes over it, marks the
// open selection as an append target, and hands dropped files to the state manager.
class DropTargetView final : public QWidget {
    Q_OBJECT

public:
    static constexpr Scheduler::Duration exitGrace{100};
    // How long an unusable drop's error stays on the drop-zone card.
    static constexpr Scheduler::Duration unusableDropTime{2000};
    static constexpr const char* unusableDropMessage = "No supported files found";

    explicit DropTargetView(WidgetStateManager* stateManager, Scheduler& scheduler, QWidget* parent = nullptr);

    // The local files a drag carries, as the bytes of their paths; links to anything but
    // local files are left out.
    static std::vector<std::filesystem::path> localFiles(const QMimeData& data);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void cancelPendingIdle();
    void returnToIdleSoon();
    bool acceptsAppend() const;
    void deliver(const std::vector<std::filesystem::path>& files);
    void showUnusableDrop();
    void endDrag();

    QPointer<WidgetStateManager> stateManager_;
    Scheduler& scheduler_;
    // Raised by every step that cancels the pending return to idle; a scheduled step
    // carries the serial it was posted with and does nothing once it is stale.
    std::uint64_t pendingIdleSerial_ = 0;
    // While an unusable drop's error shows, the end of that drag leaves the card up.
    bool showingUnusableDrop_ = false;
    std::uint64_t unusableDropSerial_ = 0; // the latest unusable drop's, as for pendingIdleSerial_
};

} // namespace vantory
