#pragma once

#include <QWidget>
#include <string>

class QLineEdit;
class QVariantAnimation;

namespace vantory {

// The rounded input box of the password rows: one masked line without a frame of its own,
// on a box that turns red while the row reports an error. Return never leaves the box: it
// becomes `submitted`, which a row may ignore. Files dragged over the box are not taken,
// so they reach the drop target behind it. A press or double-click on the box gives it the
// keyboard, which the panel, shown without focus, otherwise never has.
class PasswordField : public QWidget {
    Q_OBJECT

public:
    explicit PasswordField(const QString& placeholder, QWidget* parent = nullptr);

    std::string password() const;
    // Empties the box on screen; not a user edit, so `edited` is not emitted.
    void clear();

    void setError(bool error);
    bool isError() const { return error_; }

    // Moves the box sideways to `offset`, easing in and out over a shake step.
    void setShakeOffset(double offset);
    double shakeOffset() const { return shakeOffset_; }

    QLineEdit* lineEdit() const { return lineEdit_; }
    // Borrows the keyboard for the panel and puts it in this box.
    void takeKeyboard(Qt::FocusReason reason = Qt::OtherFocusReason);

    QSize sizeHint() const override;

Q_SIGNALS:
    // The user typed or deleted; programmatic changes do not count.
    void edited();
    void submitted();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void placeLineEdit();

    bool error_ = false;
    double shakeOffset_ = 0;
    double drawnOffset_ = 0;
    QLineEdit* lineEdit_;
    QVariantAnimation* offsetAnimation_;
};

} // namespace vantory
