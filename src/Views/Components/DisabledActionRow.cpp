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

DisabledActionRow::DisabledActionRow(const QString& title, const std::string& icon, const std::optional<QString>& reason,
                                     QWidget* parent)
    : QWidget(parent)
{
    auto* row = new QHBoxLayout(this);
    using namespace Theme::Spacing;
    // A little lower than the rows that take clicks.
    row->setContentsMargins(rowInset, 12, rowInset, 12);
    row->setSpacing(rowGap);
    auto* iconLabel = Typography::symbol(icon, Typography::icon(Theme::TextSize::title3, QFont::DemiBold), foregroundColour(), this);
    iconLabel->setFixedWidth(22);
    row->addWidget(iconLabel);

    auto* texts = new QVBoxLayout;
    texts->setSpacing(2);
    texts->addWidget(Typography::rowLabel(title, Typography::font(Theme::TextSize::headline, QFont::DemiBold),
                                          foregroundColour(), this));
    if (reason) {
        texts->addWidget(Typography::rowLabel(*reason, Typography::font(Theme::TextSize::caption, QFont::Medium),
                                              foregroundColour(), this));
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
    shape.addRoundedRect(QRectF(rect()), Theme::rowCornerRadius, Theme::rowCornerRadius);
    painter.fillPath(shape, backgroundColour());
}

} // namespace vantory
