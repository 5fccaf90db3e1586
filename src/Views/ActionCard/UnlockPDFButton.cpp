#include "Views/ActionCard/UnlockPDFButton.h"

#include "Views/ActionCard/PasswordField.h"
#include "Views/ActionCard/SubmitButton.h"
#include "Views/Components/Shake.h"
#include "Views/Theme.h"
#include "Views/Typography.h"

#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

namespace vantory {

namespace {

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
    : PasswordRow("lock.fill", "lock.open.fill", titleFor(autoExpand), scheduler, parent),
      onSubmit_(std::move(onSubmit)),
      validatePassword_(std::move(validatePassword)),
      payloadSerial_(payloadSerial),
      currentPayloadSerial_(std::move(currentPayloadSerial)),
      password_(new PasswordField(QStringLiteral("Enter password"), section())),
      wrongPasswordLabel_(Typography::label(QStringLiteral("Wrong password"), Typography::font(Theme::TextSize::footnote, QFont::Medium),
                                            Theme::withOpacity(Theme::error(), 0.8), section())),
      unlockButton_(new SubmitButton(QStringLiteral("Unlock"), section()))
{
    QVBoxLayout* fields = sectionLayout();
    fields->addWidget(password_);
    fields->addWidget(wrongPasswordLabel_, 0, Qt::AlignHCenter);
    fields->addWidget(unlockButton_);
    wrongPasswordLabel_->hide();
    setTabOrder(password_->lineEdit(), unlockButton_);

    connect(this, &PasswordRow::toggled, this, [this] { setWrongPassword(false); });
    connect(password_, &PasswordField::submitted, this, &UnlockPDFButton::attemptUnlock);
    connect(unlockButton_, &QAbstractButton::clicked, this, &UnlockPDFButton::attemptUnlock);
    connect(password_, &PasswordField::edited, this, [this] {
        setWrongPassword(false);
        refreshButton();
    });
    connect(&verdict_, &QFutureWatcher<bool>::finished, this, &UnlockPDFButton::takeVerdict);
    if (autoExpand)
        toggle();
    setErrorText(errorText);
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
        scheduler(), this, [this](double offset) { password_->setShakeOffset(offset); }, Shake::wideOffsets);
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
