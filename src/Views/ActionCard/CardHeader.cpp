#include "Views/ActionCard/CardHeader.h"

#include "Views/ActionCard/CloseButton.h"
#include "Views/Components/LabelCapsule.h"
#include "Views/Theme.h"
#include "Views/Typography.h"

#include <QHBoxLayout>

namespace vantory {

CardHeader::CardHeader(QWidget* parent)
    : QWidget(parent),
      layout_(new QHBoxLayout(this)),
      capsule_(new LabelCapsule("doc.fill", QString(), Typography::monospaced(Theme::TextSize::body, QFont::Bold), this)),
      close_(new CloseButton(this))
{
    layout_->addWidget(capsule_, 0, Qt::AlignVCenter);
    layout_->addStretch();
    layout_->addWidget(close_, 0, Qt::AlignVCenter);
    setTabsFollow(false);
}

void CardHeader::setLabel(const std::string& icon, const QString& text)
{
    capsule_->setLabel(icon, text);
}

QString CardHeader::text() const
{
    return capsule_->text();
}

std::string CardHeader::icon() const
{
    return capsule_->icon();
}

void CardHeader::setTabsFollow(bool tabsFollow)
{
    using namespace Theme::Spacing;
    layout_->setContentsMargins(cardInset, 18, cardInset, tabsFollow ? 10 : rowPadding);
}

} // namespace vantory
