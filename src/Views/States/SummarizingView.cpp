#include "Views/States/SummarizingView.h"

#include "State/WidgetStateManager.h"
#include "Views/ActionCard/CloseButton.h"
#include "Views/Components/TextButton.h"
#include "Views/FocusRing.h"
#include "Views/Icons.h"
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
#include <QScrollBar>
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

QWidget* divider()
{
    auto* line = new QWidget;
    line->setFixedHeight(1);
    line->setAutoFillBackground(true);
    QPalette palette = line->palette();
    palette.setColor(QPalette::Window, Theme::border());
    line->setPalette(palette);
    return line;
}

QLayout* padded(QWidget* widget, int horizontal, int top, int bottom)
{
    auto* row = new QHBoxLayout;
    row->setContentsMargins(horizontal, top, horizontal, bottom);
    row->addWidget(widget);
    return row;
}

// The "Summary" badge: a sparkles symbol and the word in the accent, on a pale capsule.
class SummaryBadge final : public QWidget {
public:
    explicit SummaryBadge(QWidget* parent = nullptr) : QWidget(parent)
    {
        setAccessibleName(QObject::tr("Summary"));
        setFixedSize(sizeHint());
    }

    QSize sizeHint() const override
    {
        return {horizontalPadding * 2 + symbolWidth() + gap + textWidth(),
                QFontMetrics(textFont()).height() + 2 * verticalPadding};
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Theme::withOpacity(Theme::accent(), 0.1));
        painter.drawRoundedRect(QRectF(rect()), height() / 2.0, height() / 2.0);
        painter.setPen(Theme::accent());
        painter.setFont(Typography::icon(13, QFont::Bold));
        painter.drawText(QRect(horizontalPadding, 0, symbolWidth(), height()), Qt::AlignCenter, Icons::glyph("sparkles"));
        painter.setFont(textFont());
        painter.drawText(QRect(horizontalPadding + symbolWidth() + gap, 0, textWidth(), height()), Qt::AlignCenter,
                         QObject::tr("Summary"));
    }

private:
    static constexpr int horizontalPadding = 10;
    static constexpr int verticalPadding = 6;
    static constexpr int gap = 6;
    static QFont textFont() { return Typography::font(13, QFont::Bold); }
    static int symbolWidth()
    {
        return QFontMetrics(Typography::icon(13, QFont::Bold)).horizontalAdvance(Icons::glyph("sparkles"));
    }
    static int textWidth() { return QFontMetrics(textFont()).horizontalAdvance(QObject::tr("Summary")); }
};

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
        painter.setFont(Typography::icon(36, QFont::Medium));
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
    auto* title = Typography::label(tr("Processing"), Typography::font(20, QFont::Bold), white(0.9), nullptr);
    auto* subtitle = Typography::label(tr("Summarizing document…"), Typography::font(13, QFont::Medium), white(0.6), nullptr);

    cancelButton_ = new TextButton(tr("Cancel"), {Typography::font(13, QFont::DemiBold), white(0.6), Qt::transparent, 10, 8, 0});
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
    column->addLayout(padded(cancelButton_, 20, 0, 16));
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

    noteLabel_ = Typography::label({}, Typography::font(11, QFont::Medium), Theme::withOpacity(Theme::textSecondary(), 0.7),
                                   nullptr);
    noteLabel_->setTextFormat(Qt::PlainText);
    noteLabel_->setWordWrap(true);
    noteRow_ = new QWidget;
    noteRow_->setLayout(padded(noteLabel_, 20, 0, 6));
    column->addWidget(noteRow_);

    column->addLayout(padded(divider(), 16, 0, 0));

    blocks_ = new MarkdownBlocksView;
    auto* padding = new QWidget;
    padding->setLayout(padded(blocks_, 20, 14, 14));
    scroll_ = new QScrollArea;
    // A slim bar, shown while the text overflows. Set on the bar alone: a style sheet on
    // the area would restyle every line inside it.
    scroll_->verticalScrollBar()->setStyleSheet(
        QStringLiteral("QScrollBar:vertical { width: 4px; background: transparent; margin: 0; }"
                       "QScrollBar::handle:vertical { background: rgba(0, 0, 0, 40); border-radius: 2px;"
                       " min-height: 24px; }"
                       "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }"
                       "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: none; }"));
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

    column->addLayout(padded(divider(), 16, 0, 0));

    copyButton_ = new CopyButton;
    connect(copyButton_, &CopyButton::clicked, this, &SummarizingView::copy);
    column->addLayout(padded(copyButton_, 16, 12, 12));
    return face;
}

QLayout* SummarizingView::makeHeaderRow()
{
    closeButton_ = new CloseButton;
    connect(closeButton_, &CloseButton::clicked, this, [this] { stateManager_.reset(); });
    auto* row = new QHBoxLayout;
    row->addWidget(new SummaryBadge, 0, Qt::AlignVCenter);
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
    noteLabel_->setText(note ? QString::fromStdString(*note) : QString());
    noteRow_->setVisible(note.has_value());
    headerRow_->setContentsMargins(20, 16, 20, note ? 6 : 12);

    const QString text = QString::fromStdString(stateManager_.streamingText());
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
    clipboard->setText(textForCopy(QString::fromStdString(stateManager_.streamingText())));
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
