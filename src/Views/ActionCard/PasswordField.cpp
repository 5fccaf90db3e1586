#include "Views/ActionCard/PasswordField.h"

#include "Views/Components/Shake.h"
#include "Views/FocusRing.h"
#include "Views/KeyboardFocus.h"
#include "Views/Theme.h"
#include "Views/TimingCurves.h"
#include "Views/Typography.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QVariantAnimation>
#include <cmath>

namespace vantory {

namespace {

constexpr double cornerRadius = 10;
constexpr int horizontalPadding = 12;
constexpr int verticalPadding = 8;
constexpr int lineHeight = 20;

bool isReturn(const QKeyEvent& event)
{
    return event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter;
}

} // namespace

PasswordField::PasswordField(const QString& placeholder, QWidget* parent)
    : QWidget(parent),
      lineEdit_(new QLineEdit(this)),
      offsetAnimation_(new QVariantAnimation(this))
{
    lineEdit_->setEchoMode(QLineEdit::Password);
    lineEdit_->setFrame(false);
    lineEdit_->setAttribute(Qt::WA_TranslucentBackground);
    lineEdit_->setAcceptDrops(false);
    lineEdit_->setPlaceholderText(placeholder);
    lineEdit_->setAccessibleName(placeholder);
    lineEdit_->setFont(Typography::font(Theme::TextSize::body, QFont::Medium));
    QPalette palette = lineEdit_->palette();
    palette.setColor(QPalette::Base, Qt::transparent);
    palette.setColor(QPalette::Text, Theme::textPrimary());
    palette.setColor(QPalette::PlaceholderText, Theme::textSecondary());
    lineEdit_->setPalette(palette);
    lineEdit_->setFixedHeight(lineHeight);
    lineEdit_->installEventFilter(this);
    connect(lineEdit_, &QLineEdit::textEdited, this, &PasswordField::edited);

    setFocusProxy(lineEdit_);
    setAcceptDrops(false);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);

    offsetAnimation_->setDuration(static_cast<int>(Shake::stepDuration.count()));
    offsetAnimation_->setEasingCurve(TimingCurves::easeInEaseOut());
    connect(offsetAnimation_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        drawnOffset_ = value.toDouble();
        placeLineEdit();
        update();
    });
}

std::string PasswordField::password() const
{
    return lineEdit_->text().toStdString();
}

void PasswordField::clear()
{
    lineEdit_->clear();
}

void PasswordField::setError(bool error)
{
    if (error == error_)
        return;
    error_ = error;
    update();
}

void PasswordField::setShakeOffset(double offset)
{
    shakeOffset_ = offset;
    offsetAnimation_->stop();
    offsetAnimation_->setStartValue(drawnOffset_);
    offsetAnimation_->setEndValue(offset);
    offsetAnimation_->start();
}

QSize PasswordField::sizeHint() const
{
    return {lineEdit_->sizeHint().width() + 2 * horizontalPadding, lineHeight + 2 * verticalPadding};
}

bool PasswordField::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != lineEdit_)
        return QWidget::eventFilter(watched, event);
    // The line itself draws no focus ring; the box around it does.
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)
        update();
    // The first press the box sees may be the second of a double-click, which brings no
    // focus of its own: the box slides under the pointer as its row opens.
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick)
        takeKeyboard(Qt::MouseFocusReason);
    // The line edit would pass Return on to its parents; here it only submits.
    if (event->type() == QEvent::KeyPress && isReturn(static_cast<QKeyEvent&>(*event))) {
        Q_EMIT submitted();
        return true;
    }
    return false;
}

void PasswordField::takeKeyboard(Qt::FocusReason reason)
{
    takeKeyboardFor(this);
    lineEdit_->setFocus(reason);
}

void PasswordField::mousePressEvent(QMouseEvent* event)
{
    // The padding around the line belongs to the box too; a double-click there comes here as well.
    takeKeyboard(Qt::MouseFocusReason);
    QWidget::mousePressEvent(event);
}

void PasswordField::resizeEvent(QResizeEvent* event)
{
    placeLineEdit();
    QWidget::resizeEvent(event);
}

void PasswordField::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath box;
    // Half a pixel in, so the one-pixel border lies inside the box.
    box.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5).translated(drawnOffset_, 0), cornerRadius, cornerRadius);
    painter.fillPath(box, error_ ? Theme::withOpacity(Theme::error(), 0.06) : Theme::inputBg());
    painter.strokePath(box, QPen(error_ ? Theme::withOpacity(Theme::error(), 0.35) : Theme::inputBorder(), 1));
    if (lineEdit_->hasFocus())
        FocusRing::paint(painter, QRectF(rect()).translated(drawnOffset_, 0), cornerRadius);
}

void PasswordField::placeLineEdit()
{
    const QRect inside = rect().adjusted(horizontalPadding, verticalPadding, -horizontalPadding, -verticalPadding);
    lineEdit_->setGeometry(inside.translated(static_cast<int>(std::lround(drawnOffset_)), 0));
}

} // namespace vantory
