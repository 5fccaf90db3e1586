#include "Views/ActionCard/CardHeader.h"

#include "Views/ActionCard/CloseButton.h"
#include "Views/SymbolLabel.h"
#include "Views/Theme.h"
#include "Views/Typography.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>

namespace vantory {
namespace {

// A widget drawn as a capsule of the accent colour at 10 %.
class Capsule final : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QPainterPath shape;
        const double radius = height() / 2.0;
        shape.addRoundedRect(rect(), radius, radius);
        painter.fillPath(shape, Theme::withOpacity(Theme::accent(), 0.1));
    }
};

} // namespace

CardHeader::CardHeader(QWidget* parent)
    : QWidget(parent),
      layout_(new QHBoxLayout(this)),
      iconLabel_(Typography::symbol("doc.fill", Typography::icon(13, QFont::Bold), Theme::accent(), nullptr)),
      textLabel_(Typography::label(QString(), Typography::monospaced(13, QFont::Bold), Theme::accent(), nullptr)),
      close_(new CloseButton(this))
{
    textLabel_->setTextFormat(Qt::PlainText);
    auto* pill = new Capsule(this);
    auto* pillLayout = new QHBoxLayout(pill);
    pillLayout->setContentsMargins(10, 6, 10, 6);
    pillLayout->setSpacing(6);
    pillLayout->addWidget(iconLabel_, 0, Qt::AlignVCenter);
    pillLayout->addWidget(textLabel_, 0, Qt::AlignVCenter);

    layout_->addWidget(pill, 0, Qt::AlignVCenter);
    layout_->addStretch();
    layout_->addWidget(close_, 0, Qt::AlignVCenter);
    setTabsFollow(false);
}

void CardHeader::setLabel(const std::string& icon, const QString& text)
{
    icon_ = icon;
    iconLabel_->setSymbol(icon);
    textLabel_->setText(text);
}

QString CardHeader::text() const
{
    return textLabel_->text();
}

void CardHeader::setTabsFollow(bool tabsFollow)
{
    layout_->setContentsMargins(20, 18, 20, tabsFollow ? 10 : 14);
}

} // namespace vantory
