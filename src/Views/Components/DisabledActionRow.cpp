#include "Views/Components/DisabledActionRow.h"

#include "Views/SymbolLabel.h"
#include "Views/Theme.h"
#include "Views/Typography.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

namespace vantory {

namespace {

constexpr double cornerRadius = 14;

QLabel* greyLabel(const QString& text, const QFont& font, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setFont(font);
    Typography::setTextColour(label, DisabledActionRow::foregroundColour());
    return label;
}

} // namespace

DisabledActionRow::DisabledActionRow(const QString& title, const std::string& icon, const std::optional<QString>& reason,
                                     QWidget* parent)
    : QWidget(parent)
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(16, 12, 16, 12);
    row->setSpacing(12);
    auto* iconLabel = new SymbolLabel(icon, Typography::icon(16, QFont::DemiBold), this);
    Typography::setTextColour(iconLabel, foregroundColour());
    iconLabel->setFixedWidth(22);
    iconLabel->setAlignment(Qt::AlignCenter);
    row->addWidget(iconLabel);

    auto* texts = new QVBoxLayout;
    texts->setSpacing(2);
    auto* titleLabel = greyLabel(title, Typography::font(15, QFont::DemiBold), this);
    titleLabel->setWordWrap(true);
    texts->addWidget(titleLabel);
    if (reason) {
        auto* reasonLabel = greyLabel(*reason, Typography::font(10, QFont::Medium), this);
        reasonLabel->setWordWrap(true);
        texts->addWidget(reasonLabel);
    }
    row->addLayout(texts, 1);

    setAccessibleName(title);
    if (reason)
        setAccessibleDescription(*reason);
}

QColor DisabledActionRow::foregroundColour()
{
    return Theme::withOpacity(Theme::textSecondary(), 0.45);
}

QColor DisabledActionRow::backgroundColour()
{
    return Theme::withOpacity(Theme::cream(), 0.3);
}

void DisabledActionRow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()), cornerRadius, cornerRadius);
    painter.fillPath(shape, backgroundColour());
}

} // namespace vantory
