#include "Views/States/SummarizingView.h"

#include "State/WidgetStateManager.h"
#include "Views/ActionCard/CloseButton.h"
#include "Views/Components/LabelCapsule.h"
#include "Views/Components/TextButton.h"
#include "Views/Divider.h"
#include "Views/FocusRing.h"
#include "Views/Icons.h"
#include "Views/QtText.h"
#include "Views/SlimScrollBar.h"
#include "Views/States/BreathingGradient.h"
#include "Views/States/CopyButton.h"
#include "Views/States/MarkdownBlocksView.h"
#include "Views/SubtreeOpacity.h"
#include "Views/Theme.h"
#include "Views/TimingCurves.h"
#include "Views/Typography.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QScrollArea>
#include <QVBoxLayout>
#include <QVariantAnimation>

namespace vantory {

namespace {

constexpr int crossFadeMilliseconds = 400;
// Both breathe back and forth for ever: the gradient over 4 s each way, the symbol over 2 s.
constexpr int gradientCycleMilliseconds = 8000;
constexpr int pulseCycleMilliseconds = 4000;
constexpr double smallestPulse = 0.95;
constexpr double largestPulse = 1.1;
constexpr int scrollMaximumHeight = 220;

QColor white(double opacity)
{
    return Theme::withOpacity(Qt::white, opacity);
}

// 0 -> 1 -> 0 over one cycle.
double thereAndBack(double progress)
{
    return progress < 0.5 ? 2 * progress : 2 - 2 * progress;
}

QVariantAnimation* endless(QObject* owner, int cycleMilliseconds, std::function<void(double)> apply)
{
    auto* animation = new QVariantAnimation(owner);
    animation->setDuration(cycleMilliseconds);
    animation->setStartValue(0.0);
    animation->setEndValue(1.0);
    animation->setLoopCount(-1);
    QObject::connect(animation, &QVariantAnimation::valueChanged, owner,
                     [apply = std::move(apply)](const QVariant& value) { apply(thereAndBack(value.toDouble())); });
    animation->start();
    return animation;
}

QLayout* padded(QWidget* widget, int horizontal, int top, int bottom)
{
    auto* row = new QHBoxLayout;
    row->setContentsMargins(horizontal, top, horizontal, bottom);
    row->addWidget(widget);
    return row;
}

} // namespace

// The thinking face's sparkles, drawn at a scale about their centre.
class PulsingSymbol final : public QWidget {
public:
    explicit PulsingSymbol(QWidget* parent = nullptr) : QWidget(parent) { setFixedSize(side, side); }

    void setScale(double scale)
    {
        scale_ = scale;
        update();
    }
    double scale() const { return scale_; }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.translate(rect().center());
        painter.scale(scale_, scale_);
        painter.setPen(white(0.9));
        painter.setFont(Typography::icon(Theme::TextSize::extraLargeSymbol, QFont::Medium));
        painter.drawText(QRect(-side / 2, -side / 2, side, side), Qt::AlignCenter, Icons::glyph("sparkles"));
    }

private:
    static constexpr int side = 44; // room for the largest pulse
    double scale_ = smallestPulse;
};

SummarizingView::SummarizingView(WidgetStateManager& stateManager, Scheduler& scheduler, QWidget* parent)
    : StateCard(parent),
      stateManager_(stateManager),
      scheduler_(scheduler)
{
    auto* stack = new QGridLayout(content());
    stack->setContentsMargins(0, 0, 0, 0);
    thinkingFace_ = makeThinkingFace();
    summaryFace_ = makeSummaryFace();
    stack->addWidget(thinkingFace_, 0, 0);
    stack->addWidget(summaryFace_, 0, 0);

    connect(&stateManager_, &WidgetStateManager::streamingTextChanged, this, &SummarizingView::follow);
    connect(&stateManager_, &WidgetStateManager::summaryNoteChanged, this, &SummarizingView::follow);
    connect(&stateManager_, &WidgetStateManager::stateChanged, this, &SummarizingView::follow);

    shownThinking_ = isThinking();
    thinkingLook_ = shownThinking_ ? 1 : 0;
    thinkingFace_->setVisible(shownThinking_);
    summaryFace_->setVisible(!shownThinking_);
    follow();
    startBreathing();
}

bool SummarizingView::isThinking() const
{
    return stateManager_.state().is(WidgetPhase::Kind::summarizing) && stateManager_.streamingText().empty();
}

QString SummarizingView::textForCopy(const QString& summary)
{
    QString text = summary;
    for (const char* mark : {"**", "__", "~~", "`"})
        text.remove(QLatin1String(mark));
    return text;
}

QWidget* SummarizingView::makeThinkingFace()
{
    auto* face = new QWidget(content());
    symbol_ = new PulsingSymbol;
    auto* title = Typography::label(tr("Processing"), Typography::font(Theme::TextSize::title1, QFont::Bold), white(0.9), nullptr);
    auto* subtitle = Typography::label(tr("Summarizing document…"), Typography::font(Theme::TextSize::body, QFont::Medium), white(0.6), nullptr);

    cancelButton_ = new TextButton(tr("Cancel"), {Typography::font(Theme::TextSize::body, QFont::DemiBold), white(0.6), Qt::transparent, 10, 8, 0});
    cancelButton_->setCursor(Qt::PointingHandCursor);
    connect(cancelButton_, &TextButton::clicked, this, [this] { stateManager_.reset(); });

    auto* column = new QVBoxLayout(face);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addStretch();
    auto* middle = new QVBoxLayout;
    middle->setSpacing(16);
    middle->addWidget(symbol_, 0, Qt::AlignHCenter);
    middle->addWidget(title, 0, Qt::AlignHCenter);
    middle->addWidget(subtitle, 0, Qt::AlignHCenter);
    column->addLayout(middle);
    column->addStretch();
    column->addLayout(padded(cancelButton_, Theme::Spacing::cardInset, 0, Theme::Spacing::cardBottom));
    return face;
}

QWidget* SummarizingView::makeSummaryFace()
{
    auto* face = new QWidget(content());
    auto* column = new QVBoxLayout(face);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    headerRow_ = makeHeaderRow();
    column->addLayout(headerRow_);

    noteLabel_ = Typography::label({}, Typography::font(Theme::TextSize::footnote, QFont::Medium), Theme::withOpacity(Theme::textSecondary(), 0.7),
                                   nullptr);
    noteLabel_->setTextFormat(Qt::PlainText);
    noteLabel_->setWordWrap(true);
    noteRow_ = new QWidget;
    noteRow_->setLayout(padded(noteLabel_, Theme::Spacing::cardInset, 0, 6));
    column->addWidget(noteRow_);

    column->addWidget(divider());

    blocks_ = new MarkdownBlocksView;
    auto* padding = new QWidget;
    padding->setLayout(padded(blocks_, Theme::Spacing::cardInset, Theme::Spacing::rowPadding, Theme::Spacing::rowPadding));
    scroll_ = new QScrollArea;
    useSlimScrollBar(scroll_);
    scroll_->setWidget(padding);
    scroll_->setWidgetResizable(true);
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll_->setMaximumHeight(scrollMaximumHeight);
    scroll_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    scroll_->viewport()->setAutoFillBackground(false);
    // The keyboard scrolls the text once Tab has brought it here.
    FocusRing::ringWhileFocused(scroll_, 10);
    padding->setAutoFillBackground(false);
    column->addWidget(scroll_, 1);

    column->addWidget(divider());

    copyButton_ = new CopyButton;
    connect(copyButton_, &CopyButton::clicked, this, &SummarizingView::copy);
    column->addLayout(padded(copyButton_, Theme::Spacing::rowInset, 12, 12));
    return face;
}

QLayout* SummarizingView::makeHeaderRow()
{
    closeButton_ = new CloseButton;
    connect(closeButton_, &CloseButton::clicked, this, [this] { stateManager_.reset(); });
    auto* row = new QHBoxLayout;
    auto* badge = new LabelCapsule("sparkles", tr("Summary"), Typography::font(Theme::TextSize::body, QFont::Bold));
    badge->setAccessibleName(tr("Summary"));
    row->addWidget(badge, 0, Qt::AlignVCenter);
    row->addStretch();
    row->addWidget(closeButton_, 0, Qt::AlignVCenter);
    return row;
}

void SummarizingView::startBreathing()
{
    endless(this, gradientCycleMilliseconds, [this](double phase) {
        gradientPhase_ = phase;
        if (thinkingLook_ > 0)
            update();
    });
    endless(this, pulseCycleMilliseconds, [this](double progress) {
        const double eased = TimingCurves::easeInEaseOut().valueForProgress(progress);
        symbol_->setScale(smallestPulse + (largestPulse - smallestPulse) * eased);
    });
}

void SummarizingView::follow()
{
    const auto& note = stateManager_.summaryNote();
    noteLabel_->setText(qtText(note).value_or(QString()));
    noteRow_->setVisible(note.has_value());
    headerRow_->setContentsMargins(Theme::Spacing::cardInset, 16, Theme::Spacing::cardInset, note ? 6 : 12);

    const QString text = qtText(stateManager_.streamingText());
    if (!text.isEmpty())
        blocks_->setText(text);
    crossFadeTo(isThinking());
}

void SummarizingView::shownWhole()
{
    crossFadeTo(isThinking());
}

void SummarizingView::crossFadeTo(bool thinking)
{
    // While the card itself fades in, the faces could only be drawn whole, one over the
    // other: the change waits until the card is whole.
    if (thinking == shownThinking_ || SubtreeOpacity::isFading(this))
        return;
    shownThinking_ = thinking;
    if (crossFade_)
        crossFade_->stop();
    thinkingFace_->show();
    summaryFace_->show();
    crossFade_ = new QVariantAnimation(this);
    crossFade_->setDuration(crossFadeMilliseconds);
    crossFade_->setEasingCurve(TimingCurves::easeInEaseOut());
    crossFade_->setStartValue(thinkingLook_);
    crossFade_->setEndValue(thinking ? 1.0 : 0.0);
    connect(crossFade_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        thinkingLook_ = value.toDouble();
        SubtreeOpacity::set(thinkingFace_, thinkingLook_);
        SubtreeOpacity::set(summaryFace_, 1 - thinkingLook_);
        update();
    });
    connect(crossFade_, &QAbstractAnimation::finished, this, [this, thinking] {
        thinkingFace_->setVisible(thinking);
        summaryFace_->setVisible(!thinking);
        SubtreeOpacity::set(thinkingFace_, 1);
        SubtreeOpacity::set(summaryFace_, 1);
    });
    crossFade_->start(QAbstractAnimation::DeleteWhenStopped);
}

void SummarizingView::copy()
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(textForCopy(qtText(stateManager_.streamingText())));
    copyButton_->setCopied(true);
    // Each copy ends its own "Copied": a second copy does not prolong the first.
    scheduler_.post(copiedTime, this, [this] { copyButton_->setCopied(false); });
}

void SummarizingView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF card = cardRect();
    Theme::CardShadow::paint(painter, card, Theme::cardCornerRadius);
    QPainterPath shape;
    shape.addRoundedRect(card, Theme::cardCornerRadius, Theme::cardCornerRadius);
    painter.fillPath(shape, Theme::withOpacity(Theme::surface(), 1 - thinkingLook_));
    if (thinkingLook_ > 0) {
        painter.setOpacity(thinkingLook_);
        painter.fillPath(shape, BreathingGradient::at(gradientPhase_, card));
        painter.setOpacity(1);
    }
    // The inner border: white at 15 % while thinking, the border colour after.
    painter.setPen(QPen(Theme::blend(Theme::border(), white(0.15), thinkingLook_), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(card.adjusted(0.5, 0.5, -0.5, -0.5), Theme::cardCornerRadius - 0.5, Theme::cardCornerRadius - 0.5);
}

} // namespace vantory
