#include "Views/ActionCard/ActionView.h"

#include "State/WidgetStateManager.h"
#include "Views/ActionCard/AppendZone.h"
#include "Views/ActionCard/CardHeader.h"
#include "Views/ActionCard/CloseButton.h"
#include "Views/ActionCard/ErrorBanner.h"
#include "Views/ActionCard/LockPDFButton.h"
#include "Views/ActionCard/PasswordChecks.h"
#include "Views/ActionCard/TabStrip.h"
#include "Views/ActionCard/UnlockPDFButton.h"
#include "Views/Components/ActionButton.h"
#include "Views/Components/CategoryTab.h"
#include "Views/Components/ConvertMenuButton.h"
#include "Views/Components/DisabledActionRow.h"
#include "Views/Divider.h"
#include "Views/EasedSwitch.h"
#include "Views/KeyboardFocus.h"
#include "Views/PanelGeometry.h"
#include "Views/QtText.h"
#include "Views/SlimScrollBar.h"
#include "Views/SubtreeOpacity.h"
#include "Views/SymbolLabel.h"
#include "Views/TabOrder.h"
#include "Views/Theme.h"
#include "Views/TimingCurves.h"
#include "Views/Typography.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QScrollArea>
#include <QStackedLayout>
#include <QVBoxLayout>

namespace vantory {
namespace {

enum BodyPage { appendZonePage, noticePage, rowsPage };

// The card stays inside the panel, 8 px from its edges.
constexpr int maximumCardHeight = PanelGeometry::panelSize - 2 * 8;
// The notice's own height and the room above and below it.
constexpr int noticeHeight = 120;
constexpr int noticeMargin = 14;

constexpr std::chrono::milliseconds bannerSlideTime{250};
constexpr std::chrono::milliseconds noticeFadeTime{200};
constexpr std::chrono::milliseconds dragOutlineTime{150};
const QString formFadeName = QStringLiteral("form fade");

// Fades a newly shown body form in from nothing.
void fadeIn(QWidget* form)
{
    // An earlier fade of the form ends here.
    delete form->findChild<QVariantAnimation*>(formFadeName, Qt::FindDirectChildrenOnly);
    auto* fade = new QVariantAnimation(form);
    fade->setObjectName(formFadeName);
    fade->setDuration(static_cast<int>(noticeFadeTime.count()));
    fade->setEasingCurve(TimingCurves::easeInEaseOut());
    fade->setStartValue(0.0);
    fade->setEndValue(1.0);
    QObject::connect(fade, &QVariantAnimation::valueChanged, form,
                     [form](const QVariant& opacity) { SubtreeOpacity::set(form, opacity.toDouble()); });
    SubtreeOpacity::set(form, 0);
    fade->start(QAbstractAnimation::DeleteWhenStopped);
}

int heightAt(const QWidget* widget, int width)
{
    // What it holds may have changed since its layout last ran, and the layout keeps its
    // measures until it runs again.
    if (QLayout* layout = widget->layout())
        layout->activate();
    return widget->hasHeightForWidth() ? widget->heightForWidth(width) : widget->sizeHint().height();
}

// `scroll`, holding `inside`, drawn as part of the card. The keyboard passes over it to the
// controls inside, which it scrolls into view as they take the focus.
QScrollArea* transparentScrollArea(QScrollArea* scroll, QWidget* inside)
{
    scroll->setFocusPolicy(Qt::NoFocus);
    useSlimScrollBar(scroll);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setWidget(inside);
    scroll->viewport()->setAutoFillBackground(false);
    inside->setAutoFillBackground(false);
    return scroll;
}

} // namespace

ActionView::ActionView(WidgetStateManager& stateManager, Scheduler& scheduler, QWidget* parent)
    : StateCard(parent),
      stateManager_(stateManager),
      scheduler_(scheduler),
      header_(new CardHeader(content())),
      divider_(divider(content())),
      body_(new QWidget(content())),
      bodyForms_(new QStackedLayout),
      appendZone_(new AppendZone),
      bannerArea_(new QWidget(content())),
      banner_(new ErrorBanner(bannerArea_)),
      bannerSlide_(new EasedSwitch(
          bannerSlideTime, TimingCurves::easeOut(), [this] { banner_->setPresence(bannerSlide_->progress()); }, this)),
      dragOutline_(new EasedSwitch(
          dragOutlineTime, TimingCurves::easeOut(), [this] { update(); }, this))
{
    tabArea_ = makeTabArea();
    noticeForm_ = makeNoticeForm();
    rowsForm_ = makeRowsForm();
    connect(header_->closeButton(), &QAbstractButton::clicked, this, [this] { stateManager_.reset(); });

    body_->setLayout(bodyForms_);
    bodyForms_->insertWidget(appendZonePage, appendZone_);
    bodyForms_->insertWidget(noticePage, noticeForm_);
    auto* rowsScroll = transparentScrollArea(new QScrollArea(body_), rowsForm_);
    rowsScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    bodyForms_->insertWidget(rowsPage, rowsScroll);

    auto* bannerLayout = new QVBoxLayout(bannerArea_);
    bannerLayout->setContentsMargins(Theme::Spacing::rowInset, 0, Theme::Spacing::rowInset, Theme::Spacing::rowPadding);
    bannerLayout->addWidget(banner_);
    connect(banner_, &QAbstractButton::clicked, this, [this] { stateManager_.setInlineError(std::nullopt); });
    banner_->setPresence(0);
    bannerArea_->hide();
    connect(bannerSlide_, &EasedSwitch::settled, this, [this] {
        if (bannerSlide_->isOn())
            return;
        bannerArea_->hide();
        fitToContent();
    });

    auto* column = new QVBoxLayout(content());
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(header_);
    column->addWidget(tabArea_);
    column->addWidget(divider_);
    column->addWidget(body_);
    column->addWidget(bannerArea_);

    // A row unfolding or folding, or a new message on the banner, changes what the card holds.
    rowsForm_->installEventFilter(this);
    bannerArea_->installEventFilter(this);
    followStateManager();
}

QWidget* ActionView::makeTabArea()
{
    auto* area = new QWidget(content());
    // The strip scrolls sideways when its tabs are wider than the card.
    auto* tabs = new QWidget;
    tabStrip_ = new QHBoxLayout(tabs);
    tabStrip_->setContentsMargins(Theme::Spacing::cardInset, 0, Theme::Spacing::cardInset, 0);
    tabStrip_->setSpacing(6);
    tabStrip_->addStretch();
    tabScroll_ = transparentScrollArea(new TabStrip(area), tabs);
    auto* layout = new QVBoxLayout(area);
    layout->setContentsMargins(0, 0, 0, 10);
    layout->addWidget(tabScroll_);
    return area;
}

QWidget* ActionView::makeNoticeForm()
{
    auto* form = new QWidget;
    auto* symbol = Typography::symbol("checkmark.circle", Typography::icon(Theme::TextSize::largeSymbol, QFont::Medium),
                                      Theme::withOpacity(Theme::textSecondary(), 0.5), form);
    noticeText_ = Typography::label(QString(), Typography::font(Theme::TextSize::callout, QFont::DemiBold), Theme::textSecondary(), form);
    noticeText_->setTextFormat(Qt::PlainText);
    noticeText_->setWordWrap(true);
    auto* column = new QVBoxLayout(form);
    column->setContentsMargins(Theme::Spacing::rowInset, noticeMargin, Theme::Spacing::rowInset, noticeMargin);
    column->setSpacing(8);
    column->addStretch();
    column->addWidget(symbol);
    column->addWidget(noticeText_);
    column->addStretch();
    return form;
}

QWidget* ActionView::makeRowsForm()
{
    auto* form = new QWidget;
    rowsLayout_ = new QVBoxLayout;
    rowsLayout_->setSpacing(8);
    outlierNote_ = Typography::label(QString(), Typography::font(Theme::TextSize::footnote, QFont::Medium),
                                     Theme::withOpacity(Theme::textSecondary(), 0.7), form);
    outlierNote_->setTextFormat(Qt::PlainText);
    outlierNote_->setWordWrap(true);
    auto* noteArea = new QHBoxLayout;
    noteArea->setContentsMargins(Theme::Spacing::cardInset, 0, Theme::Spacing::cardInset, Theme::Spacing::rowPadding);
    noteArea->addWidget(outlierNote_);
    auto* column = new QVBoxLayout(form);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addLayout(rowsLayout_);
    column->addLayout(noteArea);
    column->addStretch();
    return form;
}

void ActionView::followStateManager()
{
    connect(&stateManager_, &WidgetStateManager::payloadChanged, this, &ActionView::followPayload);
    connect(&stateManager_, &WidgetStateManager::activeTabChanged, this, &ActionView::followActiveTab);
    connect(&stateManager_, &WidgetStateManager::singleFileErrorChanged, this, &ActionView::updateRows);
    connect(&stateManager_, &WidgetStateManager::isAppendDragOverChanged, this, &ActionView::followBody);
    connect(&stateManager_, &WidgetStateManager::actionAreaNoticeChanged, this, &ActionView::followBody);
    connect(&stateManager_, &WidgetStateManager::inlineErrorChanged, this, &ActionView::followInlineError);
    followPayload();
    followBody();
    followInlineError();
}

void ActionView::followPayload()
{
    rebuildTabs();
    updateHeader();
    updateRows();
    updateOutlierNote();
    fitToContent();
}

void ActionView::followActiveTab()
{
    const std::optional<FileCategory> active = stateManager_.activeTab();
    for (std::size_t i = 0; i < tabs_.size(); ++i) {
        const auto& [category, tab] = tabs_[i];
        tab->setActive(active ? category == *active : i == 0);
    }
    updateHeader();
    updateRows();
    fitToContent();
}

void ActionView::followBody()
{
    const int shown = bodyForms_->currentIndex();
    int page = rowsPage;
    if (stateManager_.isAppendDragOver()) {
        page = appendZonePage;
    } else if (const auto& notice = stateManager_.actionAreaNotice()) {
        noticeText_->setText(qtText(*notice));
        page = noticePage;
    }
    bodyForms_->setCurrentIndex(page);
    // The notice fades in, and the rows fade back in as it goes; the append zone comes at once.
    if (page != shown && (page == noticePage || shown == noticePage) && page != appendZonePage)
        fadeIn(bodyForms_->widget(page));
    fitToContent();
    // The card's outline marks the drag too.
    dragOutline_->setOn(stateManager_.isAppendDragOver());
}

void ActionView::followInlineError()
{
    const auto& error = stateManager_.inlineError();
    // A banner on its way out takes no clicks.
    banner_->setAttribute(Qt::WA_TransparentForMouseEvents, !error);
    if (error) {
        banner_->setMessage(qtText(*error));
        bannerArea_->show();
        fitToContent();
    }
    // It slides in from above as it fades in, and leaves the same way; the card gives up its
    // room once it is gone.
    bannerSlide_->setOn(error.has_value());
}

void ActionView::updateHeader()
{
    const auto& payload = stateManager_.payload();
    if (const std::optional<CategoryGroup> group = stateManager_.activeGroup())
        header_->setLabel(group->icon(), qtText(group->label()));
    else if (payload)
        header_->setLabel(payload->icon, qtText(payload->label));
    else
        header_->setLabel("doc.fill", tr("File"));
    header_->setTabsFollow(stateManager_.showTabs());
}

void ActionView::rebuildTabs()
{
    for (const auto& [category, tab] : tabs_)
        delete tab;
    tabs_.clear();
    const auto& payload = stateManager_.payload();
    const bool showTabs = payload && stateManager_.showTabs();
    tabArea_->setVisible(showTabs);
    if (!showTabs)
        return;
    const std::optional<FileCategory> active = stateManager_.activeTab();
    for (const CategoryGroup& group : payload->groups) {
        const bool isActive = active ? group.category == *active : tabs_.empty();
        const FileCategory category = group.category;
        auto* tab = new CategoryTab(group, isActive, [this, category] { stateManager_.setActiveTab(category); });
        // Before the closing stretch.
        tabStrip_->insertWidget(tabStrip_->count() - 1, tab);
        tabs_.emplace_back(category, tab);
    }
    tabScroll_->setFixedHeight(tabScroll_->widget()->sizeHint().height());
}

bool ActionView::canKeep(const KeptRow& row, const RowChoice& choice) const
{
    if (!row.widget || row.kind != choice.kind)
        return false;
    const bool testsThePayload = row.kind == RowKind::unlockZip || row.kind == RowKind::unlockPdf;
    return !testsThePayload || row.payloadSerial == stateManager_.payloadSerial();
}

void ActionView::updateRows()
{
    const auto& payload = stateManager_.payload();
    const RowContext context{payload && payload->isEncryptedPDF, stateManager_.singleFileError(),
                             stateManager_.singleFileErrorActionId()};
    std::map<std::string, KeptRow> offered;
    std::vector<QWidget*> order;
    for (const FileAction& action : stateManager_.suggestedActions()) {
        if (offered.contains(action.id))
            continue;
        const RowChoice choice = chooseRow(action, context);
        KeptRow row{choice.kind, stateManager_.payloadSerial(), nullptr};
        if (const auto kept = rows_.find(action.id); kept != rows_.end() && canKeep(kept->second, choice)) {
            row = kept->second;
            rows_.erase(kept);
            // A greyed row has no error to show.
            if (auto* errorShown = dynamic_cast<RowErrorText*>(row.widget.data()))
                errorShown->setErrorText(choice.errorText);
        } else {
            row.widget = makeRow(action, choice);
        }
        order.push_back(row.widget);
        offered.emplace(action.id, row);
    }
    // Gone later, as a row may be the sender of what brought us here.
    for (const auto& [id, gone] : rows_) {
        if (gone.widget) {
            handKeyboardBackFrom(gone.widget);
            gone.widget->hide();
            gone.widget->deleteLater();
        }
    }
    rows_ = std::move(offered);

    for (QWidget* row : order)
        rowsLayout_->removeWidget(row);
    for (QWidget* row : order) {
        rowsLayout_->addWidget(row);
        row->show();
    }
}

bool ActionView::focusNextPrevChild(bool next)
{
    std::vector<QWidget*> parts{header_->closeButton()};
    for (const auto& [category, tab] : tabs_)
        parts.push_back(tab);
    for (QWidget* row : rows())
        parts.push_back(row);
    parts.push_back(banner_);
    return TabOrder::moveFocus(parts, next);
}

QWidget* ActionView::makeRow(const FileAction& action, const RowChoice& choice)
{
    const std::string id = action.id;
    const auto startWithPassword = [this, id](const std::string& password) { start(id, std::nullopt, password); };
    const auto currentSerial = [this] { return stateManager_.payloadSerial(); };
    switch (choice.kind) {
    case RowKind::lock:
        return new LockPDFButton(choice.title, choice.buttonLabel, startWithPassword, choice.errorText, scheduler_, rowsForm_);
    case RowKind::unlockZip:
        return new UnlockPDFButton(startWithPassword, PasswordChecks::zip(stateManager_), choice.autoExpand,
                                   stateManager_.payloadSerial(), currentSerial, choice.errorText, scheduler_, rowsForm_);
    case RowKind::unlockPdf:
        return new UnlockPDFButton(startWithPassword, PasswordChecks::pdf(stateManager_), choice.autoExpand,
                                   stateManager_.payloadSerial(), currentSerial, choice.errorText, scheduler_, rowsForm_);
    case RowKind::convertMenu:
        return new ConvertMenuButton(
            action, choice.errorText, [this, id](const std::string& format) { start(id, format); }, scheduler_, rowsForm_);
    case RowKind::disabled: return new DisabledActionRow(choice.title, action.icon, qtText(action.disabledReason), rowsForm_);
    case RowKind::button:
        return new ActionButton(
            choice.title, action.icon, choice.errorText, [this, id] { start(id); }, scheduler_, rowsForm_);
    }
    return nullptr;
}

void ActionView::start(const std::string& actionId, const std::optional<std::string>& targetFormat,
                       const std::optional<std::string>& password)
{
    // A password check may answer after the card has left: what it would start is
    // no longer asked for.
    if (stateManager_.state().is(WidgetPhase::Kind::actions))
        stateManager_.startConversion(actionId, targetFormat, password);
}

void ActionView::updateOutlierNote()
{
    const auto& payload = stateManager_.payload();
    const bool hasNote = payload && payload->outlierNote;
    outlierNote_->setText(hasNote ? qtText(*payload->outlierNote) : QString());
    // With tabs the note is not shown, but the rows keep the room it would take.
    outlierNote_->setVisible(hasNote && !stateManager_.showTabs());
    using namespace Theme::Spacing;
    rowsLayout_->setContentsMargins(rowInset, rowPadding, rowInset, hasNote ? 10 : 18);
}

void ActionView::fitToContent()
{
    int others = 0;
    for (const QWidget* part : {static_cast<QWidget*>(header_), tabArea_, divider_, bannerArea_})
        if (!part->isHidden())
            others += heightAt(part, Theme::cardSide);
    const int cardHeight = std::min(others + bodyHeight(), maximumCardHeight);
    body_->setFixedHeight(cardHeight - others);
    setCardHeight(cardHeight);
}

int ActionView::bodyHeight() const
{
    switch (body()) {
    case Body::appendZone: return AppendZone::zoneHeight + 2 * AppendZone::padding;
    case Body::notice: return noticeHeight + 2 * noticeMargin;
    case Body::rows: return heightAt(rowsForm_, Theme::cardSide);
    }
    return 0;
}

bool ActionView::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::LayoutRequest)
        fitToContent();
    return StateCard::eventFilter(watched, event);
}

ActionView::Body ActionView::body() const
{
    switch (bodyForms_->currentIndex()) {
    case appendZonePage: return Body::appendZone;
    case noticePage: return Body::notice;
    default: return Body::rows;
    }
}

std::vector<CategoryTab*> ActionView::tabs() const
{
    std::vector<CategoryTab*> tabs;
    for (const auto& [category, tab] : tabs_)
        tabs.push_back(tab);
    return tabs;
}

ErrorBanner* ActionView::banner() const
{
    return bannerSlide_->isOn() ? banner_ : nullptr;
}

double ActionView::dragOutline() const
{
    return dragOutline_->progress();
}

QWidget* ActionView::row(const std::string& actionId) const
{
    const auto found = rows_.find(actionId);
    return found == rows_.end() ? nullptr : found->second.widget.data();
}

std::vector<QWidget*> ActionView::rows() const
{
    std::vector<QWidget*> rows;
    for (int i = 0; i < rowsLayout_->count(); ++i)
        if (QWidget* row = rowsLayout_->itemAt(i)->widget())
            rows.push_back(row);
    return rows;
}

QString ActionView::notice() const
{
    return body() == Body::notice ? noticeText_->text() : QString();
}

void ActionView::paintEvent(QPaintEvent* event)
{
    StateCard::paintEvent(event);
    const double drag = dragOutline_->progress();
    if (drag <= 0)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // From the chassis' 1 px border to a 2 px accent line.
    const double lineWidth = 1 + drag;
    const QRectF inside = QRectF(cardRect()).adjusted(lineWidth / 2, lineWidth / 2, -lineWidth / 2, -lineWidth / 2);
    QPainterPath outline;
    outline.addRoundedRect(inside, Theme::cardCornerRadius - lineWidth / 2, Theme::cardCornerRadius - lineWidth / 2);
    painter.setPen(QPen(Theme::withOpacity(Theme::accent(), 0.5 * drag), lineWidth));
    painter.drawPath(outline);
}

} // namespace vantory
