#pragma once

#include "Views/States/StateCard.h"

#include <QUrl>
#include <functional>
#include <optional>

class QLabel;

namespace vantory {

class CloseButton;
class TextButton;

// The card that invites a tip after a completed run. "Leave a Tip" opens the tip page
// and leaves the card in place; the close button and "Maybe Later" each dismiss it once.
class DonationView final : public StateCard {
    Q_OBJECT

public:
    using UrlOpener = std::function<void(const QUrl&)>;

    // `tipPageHost`: the tip page's address without its scheme; none opens nothing.
    DonationView(QString tipPageHost, UrlOpener openUrl, std::function<void()> onDismiss, QWidget* parent = nullptr);

    // "https://" and the host, when that makes a valid address.
    static std::optional<QUrl> tipUrl(const QString& tipPageHost);

    // The parts a test reads.
    CloseButton* closeButton() const { return closeButton_; }
    TextButton* tipButton() const { return tipButton_; }
    TextButton* laterButton() const { return laterButton_; }
    QLabel* jar() const { return jar_; }
    QLabel* title() const { return title_; }
    QLabel* message() const { return message_; }

private:
    void openTipPage();
    void dismiss();

    QString tipPageHost_;
    UrlOpener openUrl_;
    std::function<void()> onDismiss_;
    CloseButton* closeButton_;
    TextButton* tipButton_;
    TextButton* laterButton_;
    QLabel* jar_;
    QLabel* title_;
    QLabel* message_;
};

} // namespace vantory
