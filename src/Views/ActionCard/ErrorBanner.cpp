#include "Views/ActionCard/ErrorBanner.h"

#include "Views/SubtreeOpacity.h"
#include "Views/SymbolLabel.h"
#include "Views/Theme.h"
#include "Views/Typography.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>

namespace vantory {
namespace {

constexpr double cornerRadius = 10;
constexpr int maximumLines = 2;

QColor red(double opacity)
{
    return Theme::withOpacity(Theme::error(), opacity);
}

} // namespace

ErrorBanner::ErrorBanner(QWidget* parent)
    : PlainButton(parent),
      face_(new QWidget(this)),
      message_(Typography::label(QString(), Typography::font(Theme::TextSize::footnote, QFont::Medium), red(0.85), face_))
{
    face_->setAttribute(Qt::WA_TransparentForMouseEvents);
    auto* symbol = Typography::symbol("exclamationmark.triangle.fill", Typography::icon(Theme::TextSize::footnote, QFont::Bold), red(0.85), face_);
    message_->setTextFormat(Qt::PlainText);
    message_->setWordWrap(true);
    message_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    message_->setMaximumHeight(maximumLines * QFontMetrics(message_->font()).lineSpacing());
    auto* row = new QHBoxLayout(face_);
    row->setContentsMargins(12, 8, 12, 8);
    row->setSpacing(6);
    row->addWidget(symbol, 0, Qt::AlignVCenter);
    row->addWidget(message_, 1, Qt::AlignVCenter);
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void ErrorBanner::setMessage(const QString& message)
{
    message_->setText(message);
    setText(message);
    setAccessibleName(message);
    updateGeometry();
}

QString ErrorBanner::message() const
{
    return message_->text();
}

QSize ErrorBanner::sizeHint() const
{
    return face_->layout()->sizeHint();
}

int ErrorBanner::heightForWidth(int width) const
{
    return face_->layout()->totalHeightForWidth(width);
}

void ErrorBanner::setPresence(double presence)
{
    presence_ = presence;
    SubtreeOpacity::set(this, presence);
    face_->setGeometry(rect().translated(0, qRound(slideOffset())));
    update();
}

double ErrorBanner::slideOffset() const
{
    return -(1 - presence_) * height();
}

void ErrorBanner::resizeEvent(QResizeEvent* event)
{
    PlainButton::resizeEvent(event);
    face_->setGeometry(rect().translated(0, qRound(slideOffset())));
}

void ErrorBanner::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF inside = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5).translated(0, slideOffset());
    QPainterPath shape;
    shape.addRoundedRect(inside, cornerRadius, cornerRadius);
    painter.fillPath(shape, red(0.06));
    painter.setPen(QPen(red(0.15), 1));
    painter.drawPath(shape);
    paintFocusRing(painter, QRectF(rect()).translated(0, slideOffset()), cornerRadius);
}

} // namespace vantory
