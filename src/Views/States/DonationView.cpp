#include "Views/States/DonationView.h"

#include "Views/ActionCard/CloseButton.h"
#include "Views/Components/TextButton.h"
#include "Views/Theme.h"
#include "Views/Typography.h"

#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace vantory {

namespace {

constexpr int jarSide = 44;

// The jar's shape in one colour, as a template image is drawn.
QPixmap tintedJar(const QColor& colour, qreal pixelRatio)
{
    const QImage source(QStringLiteral(":/art/TipJar.png"));
    const int side = qRound(jarSide * pixelRatio);
    QImage jar = source.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                     .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&jar);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(jar.rect(), colour);
    painter.end();
    QPixmap pixmap = QPixmap::fromImage(jar);
    pixmap.setDevicePixelRatio(pixelRatio);
    return pixmap;
}

TextButton* linkButton(const QString& text, TextButton::Look look)
{
    auto* button = new TextButton(text, std::move(look));
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

} // namespace

DonationView::DonationView(QString tipPageHost, UrlOpener openUrl, std::function<void()> onDismiss, QWidget* parent)
    : StateCard(parent),
      tipPageHost_(std::move(tipPageHost)),
      openUrl_(std::move(openUrl)),
      onDismiss_(std::move(onDismiss)),
      closeButton_(new CloseButton)
{
    jar_ = new QLabel;
    jar_->setFixedSize(jarSide, jarSide);
    jar_->setPixmap(tintedJar(Theme::textPrimary(), devicePixelRatioF()));
    title_ = Typography::label(tr("A 'Van'-versal pick-me-up?"), Typography::font(Theme::TextSize::title2, QFont::Bold), Theme::textPrimary(),
                               nullptr);
    message_ = Typography::label(tr("Organizing files is thirsty work!\n"
                                    "If Vantory is your new favorite sidekick,\n"
                                    "consider leaving a small tip to say thanks.\n"
                                    "It's the best way to show some \"Latte\" love."),
                                 Typography::font(Theme::TextSize::subheadline, QFont::Medium), Theme::textSecondary(), nullptr);
    message_->setTextFormat(Qt::PlainText);
    message_->setAlignment(Qt::AlignCenter);
    tipButton_ = linkButton(tr("Leave a Tip"), {Typography::font(Theme::TextSize::headline, QFont::Bold), Qt::white, Theme::accent(), 14, 12, 0});
    // Text alone, with room around it for the focus ring.
    laterButton_ = linkButton(tr("Maybe Later"),
                              {Typography::font(Theme::TextSize::body, QFont::Medium), Theme::textSecondary(), Qt::transparent, 8, 4, 10});
    laterButton_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);

    auto* topRow = new QHBoxLayout;
    topRow->setContentsMargins(Theme::Spacing::cardInset, 18, Theme::Spacing::cardInset, 0);
    topRow->addStretch();
    topRow->addWidget(closeButton_);

    auto* column = new QVBoxLayout(content());
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addLayout(topRow);
    column->addStretch();
    column->addWidget(jar_, 0, Qt::AlignHCenter);
    column->addSpacing(14);
    column->addWidget(title_, 0, Qt::AlignHCenter);
    column->addSpacing(8);
    auto* messageRow = new QHBoxLayout;
    messageRow->setContentsMargins(Theme::Spacing::cardInset, 0, Theme::Spacing::cardInset, 0);
    messageRow->addWidget(message_);
    column->addLayout(messageRow);
    column->addSpacing(20);
    auto* tipRow = new QHBoxLayout;
    tipRow->setContentsMargins(Theme::Spacing::cardInset, 0, Theme::Spacing::cardInset, 0);
    tipRow->addWidget(tipButton_);
    column->addLayout(tipRow);
    column->addSpacing(10);
    column->addWidget(laterButton_, 0, Qt::AlignHCenter);
    column->addStretch();

    connect(closeButton_, &CloseButton::clicked, this, &DonationView::dismiss);
    connect(laterButton_, &TextButton::clicked, this, &DonationView::dismiss);
    connect(tipButton_, &TextButton::clicked, this, &DonationView::openTipPage);
}

std::optional<QUrl> DonationView::tipUrl(const QString& tipPageHost)
{
    if (tipPageHost.isEmpty())
        return std::nullopt;
    const QUrl url(QStringLiteral("https://") + tipPageHost, QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty())
        return std::nullopt;
    return url;
}

void DonationView::openTipPage()
{
    if (const auto url = tipUrl(tipPageHost_); url && openUrl_)
        openUrl_(*url);
}

void DonationView::dismiss()
{
    if (onDismiss_)
        onDismiss_();
}

} // namespace vantory
