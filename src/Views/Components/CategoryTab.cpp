#include "Views/Components/CategoryTab.h"

#include "Views/QtText.h"
#include "Views/SymbolLabel.h"
#include "Views/Theme.h"
#include "Views/Typography.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>

namespace vantory {

CategoryTab::CategoryTab(const CategoryGroup& group, bool isActive, std::function<void()> onTap, QWidget* parent)
    : PlainButton(parent),
      active_(!isActive),
      face_(new QWidget(this)),
      icon_(new SymbolLabel(group.icon(), Typography::icon(Theme::TextSize::caption, QFont::Bold), face_)),
      count_(new QLabel(QString::number(group.count()), face_))
{
    face_->setAttribute(Qt::WA_TransparentForMouseEvents);
    auto* layout = new QHBoxLayout(face_);
    layout->setContentsMargins(10, 5, 10, 5);
    layout->setSpacing(4);
    count_->setFont(Typography::monospaced(Theme::TextSize::footnote, QFont::Bold));
    layout->addWidget(icon_, 0, Qt::AlignVCenter);
    layout->addWidget(count_, 0, Qt::AlignVCenter);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);

    const QString name = qtText(group.label());
    setText(name);
    setAccessibleName(name);
    setActive(isActive);
    connect(this, &QAbstractButton::clicked, this, [onTap = std::move(onTap)] { onTap(); });
}

void CategoryTab::setActive(bool active)
{
    if (active == active_)
        return;
    active_ = active;
    for (QLabel* label : {static_cast<QLabel*>(icon_), count_})
        Typography::setTextColour(label, foregroundColour());
    update();
}

QColor CategoryTab::backgroundColour() const
{
    return active_ ? Theme::accent() : Theme::cream();
}

QColor CategoryTab::foregroundColour() const
{
    return active_ ? QColor(Qt::white) : Theme::textSecondary();
}

QSize CategoryTab::sizeHint() const
{
    return face_->layout()->sizeHint();
}

void CategoryTab::resizeEvent(QResizeEvent* event)
{
    face_->setGeometry(rect());
    PlainButton::resizeEvent(event);
}

void CategoryTab::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF capsule(rect());
    const double radius = capsule.height() / 2;
    QPainterPath shape;
    shape.addRoundedRect(capsule, radius, radius);
    painter.fillPath(shape, backgroundColour());
    paintFocusRing(painter, capsule, radius);
}

} // namespace vantory
