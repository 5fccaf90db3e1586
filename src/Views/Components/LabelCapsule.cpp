#include "Views/Components/LabelCapsule.h"

#include "Views/SymbolLabel.h"
#include "Views/Theme.h"
#include "Views/Typography.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>

namespace vantory {

LabelCapsule::LabelCapsule(const std::string& icon, const QString& text, const QFont& textFont, QWidget* parent)
    : QWidget(parent),
      icon_(icon),
      iconLabel_(Typography::symbol(icon, Typography::icon(Theme::TextSize::body, QFont::Bold), Theme::accent(), nullptr)),
      textLabel_(Typography::label(text, textFont, Theme::accent(), nullptr))
{
    textLabel_->setTextFormat(Qt::PlainText);
    auto* layout = new QHBoxLayout(this);
    using namespace Theme::Spacing;
    layout->setContentsMargins(capsuleHorizontal, capsuleVertical, capsuleHorizontal, capsuleVertical);
    layout->setSpacing(symbolGap);
    layout->addWidget(iconLabel_, 0, Qt::AlignVCenter);
    layout->addWidget(textLabel_, 0, Qt::AlignVCenter);
}

void LabelCapsule::setLabel(const std::string& icon, const QString& text)
{
    icon_ = icon;
    iconLabel_->setSymbol(icon);
    textLabel_->setText(text);
}

QString LabelCapsule::text() const
{
    return textLabel_->text();
}

void LabelCapsule::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    const double radius = height() / 2.0;
    shape.addRoundedRect(rect(), radius, radius);
    painter.fillPath(shape, Theme::withOpacity(Theme::accent(), 0.1));
}

} // namespace vantory
