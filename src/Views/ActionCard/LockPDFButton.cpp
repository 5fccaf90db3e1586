#include "Views/ActionCard/LockPDFButton.h"

#include "Views/ActionCard/PasswordField.h"
#include "Views/ActionCard/SubmitButton.h"
#include "Views/Components/Shake.h"
#include "Views/Theme.h"
#include "Views/Typography.h"

#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace vantory {

LockPDFButton::LockPDFButton(const QString& title, const QString& buttonLabel, SubmitHandler onSubmit,
                             std::optional<QString> errorText, Scheduler& scheduler, QWidget* parent)
    : PasswordRow("lock.fill", "lock.fill", title, scheduler, parent),
      onSubmit_(std::move(onSubmit)),
      password_(new PasswordField(QStringLiteral("Password"), section())),
      confirm_(new PasswordField(QStringLiteral("Confirm password"), section())),
      mismatchLabel_(Typography::label(QStringLiteral("Passwords don't match"), Typography::font(Theme::TextSize::footnote, QFont::Medium),
                                       Theme::withOpacity(Theme::error(), 0.8), section())),
      submitButton_(new SubmitButton(buttonLabel, section()))
{
    QVBoxLayout* fields = sectionLayout();
    fields->addWidget(password_);
    fields->addWidget(confirm_);
    fields->addWidget(mismatchLabel_, 0, Qt::AlignHCenter);
    fields->addWidget(submitButton_);
    mismatchLabel_->hide();
    setTabOrder(password_->lineEdit(), confirm_->lineEdit());
    setTabOrder(confirm_->lineEdit(), submitButton_);

    // Folding or unfolding forgets the mismatch; the typed texts stay.
    connect(this, &PasswordRow::toggled, this, [this] { setMismatch(false); });
    connect(confirm_, &PasswordField::submitted, this, &LockPDFButton::submit);
    connect(submitButton_, &QAbstractButton::clicked, this, &LockPDFButton::submit);
    connect(password_, &PasswordField::edited, this, &LockPDFButton::refreshSubmitLook);
    connect(confirm_, &PasswordField::edited, this, &LockPDFButton::refreshSubmitLook);
    setErrorText(errorText);
}

void LockPDFButton::submit()
{
    const std::string password = password_->password();
    if (password.empty())
        return;
    if (password != confirm_->password()) {
        setMismatch(true);
        Shake::start(scheduler(), this, [this](double offset) { confirm_->setShakeOffset(offset); });
        return;
    }
    onSubmit_(password);
}

void LockPDFButton::setMismatch(bool mismatch)
{
    mismatch_ = mismatch;
    confirm_->setError(mismatch);
    mismatchLabel_->setVisible(mismatch);
}

void LockPDFButton::refreshSubmitLook()
{
    const std::string password = password_->password();
    submitButton_->setReady(!password.empty() && password == confirm_->password());
}

} // namespace vantory
