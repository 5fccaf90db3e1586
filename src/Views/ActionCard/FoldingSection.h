#pragma once

#include <QPointer>
#include <QVariantAnimation>
#include <QWidget>

class QVBoxLayout;

namespace vantory {

// The part of a password row below its header: it unfolds on a spring, growing from nothing
// to its full height as it fades in, and folds back the same way.
class FoldingSection : public QWidget {
    Q_OBJECT

public:
    explicit FoldingSection(QWidget* parent = nullptr);

    QVBoxLayout* contentLayout() const { return layout_; }

    void unfold();
    void fold();
    // Folds without the spring, as when an error takes the row's place.
    void foldAtOnce();
    bool isUnfolded() const { return unfolded_; }

private:
    void springTo(double fraction);
    void reveal(double fraction);
    void hideFromLayout();

    bool unfolded_ = false;
    double revealed_ = 0;
    QVBoxLayout* layout_;
    // The running spring; it deletes itself when it stops.
    QPointer<QVariantAnimation> spring_;
};

} // namespace vantory
