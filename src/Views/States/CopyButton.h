#pragma once

#include "Views/Components/PlainButton.h"
#include <QPointer>

class QVariantAnimation;

namespace vantory {

// The summary's copy button: "Copy to Clipboard" in white on the accent, or, for a while
// after a copy, a checkmark and "Copied" in the accent on a pale accent. The change fades.
class CopyButton final : public PlainButton {
    Q_OBJECT

public:
    explicit CopyButton(QWidget* parent = nullptr);

    void setCopied(bool copied);
    bool isCopied() const { return copied_; }
    // The symbol beside the text: "doc.on.doc", or "checkmark" once copied.
    QString symbolName() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool copied_ = false;
    double copiedLook_ = 0; // 0 plain, 1 copied; animated between
    QPointer<QVariantAnimation> fade_;
};

} // namespace vantory
