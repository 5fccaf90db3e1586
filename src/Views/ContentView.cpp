#include "Views/ContentView.h"

#include "State/WidgetStateManager.h"

#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

namespace vantory {

namespace {

using Kind = WidgetPhase::Kind;

const QColor accent = QColor::fromRgbF(0.15f, 0.42f, 0.36f);
const QColor surface = Qt::white;
const QColor textPrimary = QColor::fromRgbF(0.10f, 0.10f, 0.10f);
const QColor textSecondary = QColor::fromRgbF(0.50f, 0.48f, 0.45f);

class OrbView final : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(accent);
        painter.drawEllipse(rect().adjusted(1, 1, -1, -1));
        QPen arrow(Qt::white, 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        painter.setPen(arrow);
        const QPointF c = QRectF(rect()).center();
        painter.drawLine(c + QPointF(0, -14), c + QPointF(0, 12));
        painter.drawPolyline(QPolygonF({c + QPointF(-10, 3), c + QPointF(0, 13), c + QPointF(10, 3)}));
    }
};

class CardView final : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QPainterPath shape;
        shape.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 24, 24);
        painter.fillPath(shape, surface);
        painter.setPen(QPen(QColor(0, 0, 0, 15), 1));
        painter.drawPath(shape);
    }
};

QLabel* makeLabel(QWidget* parent, int pointSize, QFont::Weight weight, const QColor& colour)
{
    auto* label = new QLabel(parent);
    QFont font = label->font();
    font.setPixelSize(pointSize);
    font.setWeight(weight);
    label->setFont(font);
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    return label;
}

} // namespace

ContentView::ContentView(WidgetStateManager& stateManager, QWidget* parent)
    : QWidget(parent),
      stateManager_(stateManager),
      orb_(new OrbView(this)),
      card_(new CardView(this))
{
    orb_->setAccessibleName(tr("Drop files here"));
    orb_->resize(orbSide, orbSide);
    card_->resize(cardSide, cardSide);

    cardTitle_ = makeLabel(card_, 22, QFont::Bold, textPrimary);
    cardDetail_ = makeLabel(card_, 14, QFont::Medium, textSecondary);
    auto* layout = new QVBoxLayout(card_);
    layout->setContentsMargins(24, 24, 24, 24);
    layout->setSpacing(16);
    layout->addStretch();
    layout->addWidget(cardTitle_);
    layout->addWidget(cardDetail_);
    layout->addStretch();

    for (auto changed : {&WidgetStateManager::stateChanged, &WidgetStateManager::anchorEdgeChanged,
                         &WidgetStateManager::inlineErrorChanged, &WidgetStateManager::showDonationChanged})
        connect(&stateManager_, changed, this, &ContentView::refresh);
    refresh();
}

QPoint ContentView::towardEdge(int offset) const
{
    switch (stateManager_.anchorEdge()) {
    case AnchorEdge::left: return {-offset, 0};
    case AnchorEdge::right: return {offset, 0};
    case AnchorEdge::top: return {0, -offset};
    case AnchorEdge::bottom: return {0, offset};
    }
    return {};
}

QRect ContentView::centredRect(int side, int offset) const
{
    QRect r(0, 0, side, side);
    r.moveTopLeft(QPoint((width() - side) / 2, (height() - side) / 2) + towardEdge(offset));
    return r;
}

QRegion ContentView::visibleRegion() const
{
    if (stateManager_.state().is(Kind::idle))
        return QRegion(orb_->geometry(), QRegion::Ellipse);
    return QRegion(card_->geometry());
}

void ContentView::refresh()
{
    const WidgetPhase& state = stateManager_.state();
    const bool idle = state.is(Kind::idle);
    orb_->setGeometry(centredRect(orbSide, orbOffset));
    card_->setGeometry(centredRect(cardSide, cardOffset));
    orb_->setVisible(idle);
    card_->setVisible(!idle);

    QString title;
    QString detail;
    if (state.is(Kind::hovering)) {
        const auto& error = stateManager_.inlineError();
        title = error ? QString::fromStdString(*error) : tr("Drop File");
        detail = error ? QString() : tr("Release to continue");
    } else if (state.is(Kind::processing)) {
        title = tr("Reading file\u2026");
    }
    cardTitle_->setText(title);
    cardDetail_->setText(detail);
    cardDetail_->setVisible(!detail.isEmpty());
    Q_EMIT visibleRegionChanged(visibleRegion());
}

void ContentView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    refresh();
}

void ContentView::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu;
    if (extraMenu_)
        menu.addMenu(extraMenu_);
    menu.addAction(tr("Quit Vantory"), this, [this] {
        if (onQuit)
            onQuit();
    });
    menu.exec(event->globalPos());
}

} // namespace vantory
