#include "Views/ActionCard/SubmitButton.h"

#include "Views/Theme.h"
#include "Views/Typography.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>

namespace vantory {

namespace {

constexpr int verticalPadding = 9;
constexpr double cornerRadius = 10;

} // namespace

SubmitButton::SubmitButton(const QString& text, QWidget* parent) : QAbstractButton(parent)
{
    setText(text);
    setFont(Typography::font(13, QFont::Bold));
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void SubmitButton::setReady(bool ready)
{
    if (ready == ready_)
        return;
    ready_ = ready;
    update();
}

QSize SubmitButton::sizeHint() const
{
    const QFontMetrics metrics(font());
    return {metrics.horizontalAdvance(text()) + 2 * verticalPadding, metrics.height() + 2 * verticalPadding};
}

void SubmitButton::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (isEnabled())
            click();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

void SubmitButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(rect(), cornerRadius, cornerRadius);
    painter.fillPath(shape, ready_ ? Theme::accent() : Theme::withOpacity(Theme::textSecondary(), 0.15));
    painter.setPen(ready_ ? QColor(Qt::white) : Theme::textSecondary());
    painter.drawText(rect(), Qt::AlignCenter, text());
}

} // namespace vantory
