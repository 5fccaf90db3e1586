#include "Views/ActionCard/PasswordRow.h"

#include "Views/ActionCard/FoldingSection.h"
#include "Views/ActionCard/PasswordField.h"
#include "Views/Components/ActionRow.h"
#include "Views/Components/Shake.h"
#include "Views/KeyboardFocus.h"

#include <QVBoxLayout>
#include <utility>

namespace vantory {

PasswordRow::PasswordRow(const std::string& foldedSymbol, const std::string& unfoldedSymbol, const QString& title,
                         Scheduler& scheduler, QWidget* parent)
    : QWidget(parent),
      foldedSymbol_(foldedSymbol),
      unfoldedSymbol_(unfoldedSymbol),
      title_(title),
      scheduler_(scheduler),
      header_(new ActionRow(foldedSymbol_, title, ActionRow::foldChevron(false), this)),
      section_(new FoldingSection(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    layout->addWidget(header_);
    layout->addWidget(section_);
    connect(header_, &QAbstractButton::clicked, this, [this] {
        if (!errorText_)
            toggle();
    });
}

QVBoxLayout* PasswordRow::sectionLayout() const
{
    return section_->contentLayout();
}

QWidget* PasswordRow::section() const
{
    return section_;
}

void PasswordRow::setErrorText(const std::optional<QString>& errorText)
{
    errorText_ = errorText;
    header_->setTitle(errorText.value_or(title_));
    if (!shakeRule_.shouldShake(errorText))
        return;
    handKeyboardBackFrom(this);
    showExpanded(false);
    section_->foldAtOnce();
    scheduler_.post(Shake::errorDelay, this,
                    [this] { Shake::start(scheduler_, this, [this](double offset) { header_->setShakeOffset(offset); }); });
}

void PasswordRow::toggle()
{
    showExpanded(!expanded_);
    if (expanded_) {
        section_->unfold();
        giveKeyboardToFirstBox();
    } else {
        handKeyboardBackFrom(this);
        section_->fold();
    }
    Q_EMIT toggled(expanded_);
}

void PasswordRow::giveKeyboardToFirstBox()
{
    keyboardWanted_ = !isVisible();
    if (!keyboardWanted_)
        passwordField()->takeKeyboard();
}

void PasswordRow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (std::exchange(keyboardWanted_, false) && expanded_)
        passwordField()->takeKeyboard();
}

void PasswordRow::showExpanded(bool expanded)
{
    expanded_ = expanded;
    header_->setSymbol(expanded ? unfoldedSymbol_ : foldedSymbol_);
    header_->setTrailingSymbol(ActionRow::foldChevron(expanded));
}

} // namespace vantory
