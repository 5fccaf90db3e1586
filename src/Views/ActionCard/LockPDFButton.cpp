#include "Views/ActionCard/LockPDFButton.h"

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

namespace vantory {

namespace {

// A new error waits this long before the row shakes.
constexpr Scheduler::Duration shakeDelay{50};

std::string chevron(bool expanded)
{
    return expanded ? "chevron.up" : "chevron.down";
}

} // namespace

LockPDFButton::LockPDFButton(const QString& title, const QString& buttonLabel, SubmitHandler onSubmit,
                             std::optional<QString> errorText, Scheduler& scheduler, QWidget* parent)
    : QWidget(parent),
      title_(title),
      onSubmit_(std::move(onSubmit)),
      scheduler_(scheduler),
      header_(new ActionRow("lock.fill", title, chevron(false), this)),
      section_(new FoldingSection(this)),
      password_(new PasswordField(QStringLiteral("Password"), section_)),
      confirm_(new PasswordField(QStringLiteral("Confirm password"), section_)),
      mismatchLabel_(Typography::label(QStringLiteral("Passwords don't match"), Typography::font(11, QFont::Medium),
                                       Theme::withOpacity(Theme::error(), 0.8), section_)),
      submitButton_(new SubmitButton(buttonLabel, section_))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    layout->addWidget(header_);
    layout->addWidget(section_);
    QVBoxLayout* fields = section_->contentLayout();
    fields->addWidget(password_);
    fields->addWidget(confirm_);
    fields->addWidget(mismatchLabel_, 0, Qt::AlignHCenter);
    fields->addWidget(submitButton_);
    mismatchLabel_->hide();
    setTabOrder(password_->lineEdit(), confirm_->lineEdit());
    setTabOrder(confirm_->lineEdit(), submitButton_);

    connect(header_, &QAbstractButton::clicked, this, [this] {
        if (!errorText_)
            toggle();
    });
    connect(confirm_, &PasswordField::submitted, this, &LockPDFButton::submit);
    connect(submitButton_, &QAbstractButton::clicked, this, &LockPDFButton::submit);
    connect(password_, &PasswordField::edited, this, &LockPDFButton::refreshSubmitLook);
    connect(confirm_, &PasswordField::edited, this, &LockPDFButton::refreshSubmitLook);
    setErrorText(errorText);
}

void LockPDFButton::setErrorText(const std::optional<QString>& errorText)
{
    errorText_ = errorText;
    header_->setTitle(errorText.value_or(title_));
    if (!shakeRule_.shouldShake(errorText))
        return;
    expanded_ = false;
    header_->setTrailingSymbol(chevron(false));
    section_->foldAtOnce();
    scheduler_.post(shakeDelay, this,
                    [this] { Shake::start(scheduler_, this, [this](double offset) { header_->setShakeOffset(offset); }); });
}

void LockPDFButton::toggle()
{
    expanded_ = !expanded_;
    header_->setTrailingSymbol(chevron(expanded_));
    setMismatch(false);
    if (expanded_)
        section_->unfold();
    else
        section_->fold();
}

void LockPDFButton::submit()
{
    const std::string password = password_->password();
    if (password.empty())
        return;
    if (password != confirm_->password()) {
        setMismatch(true);
        Shake::start(scheduler_, this, [this](double offset) { confirm_->setShakeOffset(offset); });
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
