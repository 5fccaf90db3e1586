#include "Views/DropTargetView.h"

#include "State/WidgetStateManager.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace vantory {

namespace {

using Kind = WidgetPhase::Kind;

void offerCopy(QDropEvent* event)
{
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

bool isLocalFile(const QUrl& url)
{
    const QString host = url.host();
    return url.scheme() == QLatin1String("file") && (host.isEmpty() || host == QLatin1String("localhost"));
}

} // namespace

DropTargetView::DropTargetView(WidgetStateManager* stateManager, Scheduler& scheduler, QWidget* parent)
    : QWidget(parent),
      stateManager_(stateManager),
      scheduler_(scheduler)
{
    setAcceptDrops(true);
}

std::vector<std::filesystem::path> DropTargetView::localFiles(const QMimeData& data)
{
    std::vector<std::filesystem::path> files;
    for (const QUrl& url : data.urls()) {
        if (!isLocalFile(url))
            continue;
        // The percent-decoded bytes, not toLocalFile(): a name that is not UTF-8 must
        // reach the file system as the bytes it has there.
        const QByteArray bytes = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
        if (!bytes.isEmpty())
            files.emplace_back(bytes.toStdString());
    }
    return files;
}

void DropTargetView::cancelPendingIdle()
{
    ++pendingIdleSerial_;
}

void DropTargetView::dragEnterEvent(QDragEnterEvent* event)
{
    cancelPendingIdle();
    showingUnusableDrop_ = false;
    if (stateManager_) {
        if (stateManager_->state().is(Kind::idle))
            stateManager_->setState(WidgetPhase::hovering());
        else if (acceptsAppend())
            stateManager_->setIsAppendDragOver(true);
    }
    offerCopy(event);
}

void DropTargetView::dragMoveEvent(QDragMoveEvent* event)
{
    offerCopy(event);
}

void DropTargetView::dragLeaveEvent(QDragLeaveEvent* event)
{
    event->accept();
    if (stateManager_)
        stateManager_->setIsAppendDragOver(false);
    returnToIdleSoon();
}

void DropTargetView::returnToIdleSoon()
{
    cancelPendingIdle();
    scheduler_.post(exitGrace, this, [this, serial = pendingIdleSerial_] {
        if (serial != pendingIdleSerial_ || !stateManager_)
            return;
        if (stateManager_->state().is(Kind::hovering))
            stateManager_->setState(WidgetPhase::idle());
    });
}

void DropTargetView::dropEvent(QDropEvent* event)
{
    cancelPendingIdle();
    const auto files = localFiles(*event->mimeData());
    if (files.empty()) {
        event->ignore();
        showUnusableDrop();
    } else {
        offerCopy(event);
        deliver(files);
    }
    // There is no separate end-of-drag notice: a drag that reached this view ends here.
    endDrag();
}

bool DropTargetView::acceptsAppend() const
{
    return stateManager_->state().is(Kind::actions) && stateManager_->payload() && !stateManager_->showDonation();
}

void DropTargetView::deliver(const std::vector<std::filesystem::path>& files)
{
    if (!stateManager_)
        return;
    stateManager_->setIsAppendDragOver(false);
    if (acceptsAppend())
        stateManager_->appendFiles(files);
    else
        stateManager_->handleDrop(files);
}

void DropTargetView::showUnusableDrop()
{
    if (!stateManager_)
        return;
    stateManager_->showInlineError(unusableDropMessage);
    // Over the orb or the drop zone, the drop-zone card shows the error for a while; any
    // other card stays and shows it itself.
    const auto& state = stateManager_->state();
    if (!state.is(Kind::idle) && !state.is(Kind::hovering))
        return;
    stateManager_->setState(WidgetPhase::hovering());
    showingUnusableDrop_ = true;
    scheduler_.post(unusableDropTime, this, [this, serial = ++unusableDropSerial_] {
        if (serial != unusableDropSerial_ || !showingUnusableDrop_ || !stateManager_)
            return;
        showingUnusableDrop_ = false;
        if (stateManager_->state().is(Kind::hovering))
            stateManager_->setState(WidgetPhase::idle());
    });
}

void DropTargetView::endDrag()
{
    cancelPendingIdle();
    if (!stateManager_)
        return;
    if (stateManager_->state().is(Kind::hovering) && !showingUnusableDrop_)
        stateManager_->setState(WidgetPhase::idle());
    stateManager_->setIsAppendDragOver(false);
}

} // namespace vantory
