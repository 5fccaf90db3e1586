#include "Views/ActionCard/UnlockPDFButton.h"

#include "Views/ActionCard/FoldingSection.h"
#include "Views/ActionCard/PasswordField.h"
#include "Views/ActionCard/SubmitButton.h"
#include "Views/Components/ActionRow.h"
#include "Views/Components/Shake.h"
#include "Views/Theme.h"
#include "Views/Typography.h"

#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

namespace vantory {

namespace {

// A new error waits this long before the row shakes.
constexpr Scheduler::Duration shakeDelay{50};

std::string chevron(bool expanded)
{
    return expanded ? "chevron.up" : "chevron.down";
}

std::string lockSymbol(bool expanded)
{
    return expanded ? "lock.open.fill" : "lock.fill";
}

QString titleFor(bool autoExpand)
{
    return autoExpand ? QStringLiteral("Unlock Document") : QStringLiteral("Unlock PDF");
}

// Whatever goes wrong inside a check counts as a rejection.
bool verdictOf(const UnlockPDFButton::Validator& validate, const std::string& password)
{
    try {
        return validate(password);
    } catch (...) {
        return false;
    }
}

} // namespace

UnlockPDFButton::UnlockPDFButton(SubmitHandler onSubmit, Validator validatePassword, bool autoExpand, std::uint64_t payloadSerial,
                                 SerialSource currentPayloadSerial, std::optional<QString> errorText, Scheduler& scheduler,
                                 QWidget* parent)
    : QWidget(parent),
      onSubmit_(std::move(onSubmit)),
      validatePassword_(std::move(validatePassword)),
      autoExpand_(autoExpand),
      payloadSerial_(payloadSerial),
      currentPayloadSerial_(std::move(currentPayloadSerial)),
      scheduler_(scheduler),
      header_(new ActionRow(lockSymbol(false), titleFor(autoExpand), chevron(false), this)),
      section_(new FoldingSection(this)),
      password_(new PasswordField(QStringLiteral("Enter password"), section_)),
      wrongPasswordLabel_(Typography::label(QStringLiteral("Wrong password"), Typography::font(11, QFont::Medium),
                                            Theme::withOpacity(Theme::error(), 0.8), section_)),
      unlockButton_(new SubmitButton(QStringLiteral("Unlock"), section_))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    layout->addWidget(header_);
    layout->addWidget(section_);
    QVBoxLayout* fields = section_->contentLayout();
    fields->addWidget(password_);
    fields->addWidget(wrongPasswordLabel_, 0, Qt::AlignHCenter);
    fields->addWidget(unlockButton_);
    wrongPasswordLabel_->hide();
    setTabOrder(password_->lineEdit(), unlockButton_);

    connect(header_, &QAbstractButton::clicked, this, [this] {
        if (!errorText_)
            toggle();
    });
    connect(password_, &PasswordField::submitted, this, &UnlockPDFButton::attemptUnlock);
    connect(unlockButton_, &QAbstractButton::clicked, this, &UnlockPDFButton::attemptUnlock);
    connect(password_, &PasswordField::edited, this, [this] {
        setWrongPassword(false);
        refreshButton();
    });
    connect(&verdict_, &QFutureWatcher<bool>::finished, this, &UnlockPDFButton::takeVerdict);
    if (autoExpand_)
        toggle();
    setErrorText(errorText);
}

void UnlockPDFButton::setErrorText(const std::optional<QString>& errorText)
{
    errorText_ = errorText;
    header_->setTitle(errorText.value_or(titleFor(autoExpand_)));
    if (!shakeRule_.shouldShake(errorText))
        return;
    expanded_ = false;
    header_->setSymbol(lockSymbol(false));
    header_->setTrailingSymbol(chevron(false));
    section_->foldAtOnce();
    scheduler_.post(shakeDelay, this,
                    [this] { Shake::start(scheduler_, this, [this](double offset) { header_->setShakeOffset(offset); }); });
}

void UnlockPDFButton::toggle()
{
    expanded_ = !expanded_;
    header_->setSymbol(lockSymbol(expanded_));
    header_->setTrailingSymbol(chevron(expanded_));
    setWrongPassword(false);
    if (expanded_)
        section_->unfold();
    else
        section_->fold();
}

void UnlockPDFButton::attemptUnlock()
{
    if (checking_ || password_->password().empty())
        return;
    checkedPassword_ = password_->password();
    checking_ = true;
    refreshButton();
    verdict_.setFuture(QtConcurrent::run(verdictOf, validatePassword_, checkedPassword_));
}

void UnlockPDFButton::takeVerdict()
{
    checking_ = false;
    refreshButton();
    const std::string password = std::exchange(checkedPassword_, {});
    if (currentPayloadSerial_() != payloadSerial_)
        return;
    if (verdict_.result()) {
        // Starting the run may take the card, and this row with it, away at once.
        onSubmit_(password);
        return;
    }
    setWrongPassword(true);
    password_->clear();
    refreshButton(); // the box is empty now
    Shake::start(
        scheduler_, this, [this](double offset) { password_->setShakeOffset(offset); }, Shake::wideOffsets);
}

void UnlockPDFButton::setWrongPassword(bool wrong)
{
    wrongPassword_ = wrong;
    password_->setError(wrong);
    wrongPasswordLabel_->setVisible(wrong);
}

void UnlockPDFButton::refreshButton()
{
    unlockButton_->setText(checking_ ? QStringLiteral("Checking…") : QStringLiteral("Unlock"));
    unlockButton_->setEnabled(!checking_);
    unlockButton_->setReady(!checking_ && !password_->password().empty());
}

} // namespace vantory
