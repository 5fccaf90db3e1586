#include "Views/States/ProcessingView.h"

#include "Views/Theme.h"
#include "Views/Typography.h"

#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>
#include <QVariantAnimation>

namespace vantory {
namespace {

constexpr int arcSide = 36;
constexpr double arcWidth = 3.5;
constexpr double arcShare = 0.7;
constexpr int turnMs = 900;
// Half the line reaches beyond the circle.
constexpr int capRoom = 2;
constexpr int textSpacing = 20;
// QPainter measures arcs in sixteenths of a degree, counter-clockwise.
constexpr int fullCircle = 360 * 16;

} // namespace

// An open arc turning clockwise, one turn per 0.9 s, for as long as it lives.
class ProcessingView::Spinner final : public QWidget {
public:
    explicit Spinner(QWidget* parent) : QWidget(parent), turn_(new QVariantAnimation(this))
    {
        setFixedSize(arcSide + 2 * capRoom, arcSide + 2 * capRoom);
        turn_->setStartValue(0.0);
        turn_->setEndValue(360.0);
        turn_->setDuration(turnMs);
        turn_->setLoopCount(-1);
        connect(turn_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
            degrees_ = value.toDouble();
            update();
        });
        turn_->start();
    }

    double degrees() const { return degrees_; }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.translate(QRectF(rect()).center());
        painter.rotate(degrees_);
        painter.setPen(QPen(Theme::accent(), arcWidth, Qt::SolidLine, Qt::RoundCap));
        const QRectF circle(-arcSide / 2.0, -arcSide / 2.0, arcSide, arcSide);
        painter.drawArc(circle, 0, -static_cast<int>(arcShare * fullCircle));
    }

private:
    QVariantAnimation* turn_;
    double degrees_ = 0;
};

ProcessingView::ProcessingView(QWidget* parent) : StateCard(parent), spinner_(new Spinner(content()))
{
    auto* text = Typography::label(tr("Reading file\u2026"), Typography::font(Theme::TextSize::title3, QFont::DemiBold), Theme::textSecondary(),
                                   content());
    auto* column = new QVBoxLayout(content());
    column->setSpacing(textSpacing - capRoom);
    column->addStretch();
    column->addWidget(spinner_, 0, Qt::AlignHCenter);
    column->addWidget(text);
    column->addStretch();
}

double ProcessingView::rotation() const
{
    return spinner_->degrees();
}

} // namespace vantory
