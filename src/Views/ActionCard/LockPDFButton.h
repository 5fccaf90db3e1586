#pragma once

#include "Views/ActionCard/PasswordRow.h"

#include <functional>
#include <optional>
#include <string>

class QLabel;

namespace vantory {

class PasswordField;
class SubmitButton;

// A row that asks for a new password twice and hands it on when both entries agree. Its
// header unfolds the two boxes and the submit button. An empty password is ignored; entries
// that differ show "Passwords don't match" and shake the confirmation box until the header
// is clicked again. Return submits from the confirmation box only.
class LockPDFButton : public PasswordRow {
    Q_OBJECT

public:
    using SubmitHandler = std::function<void(const std::string& password)>;

    LockPDFButton(const QString& title, const QString& buttonLabel, SubmitHandler onSubmit, std::optional<QString> errorText,
                  Scheduler& scheduler, QWidget* parent = nullptr);

    bool showsMismatch() const { return mismatch_; }

    PasswordField* passwordField() const override { return password_; }
    PasswordField* confirmField() const { return confirm_; }
    SubmitButton* submitButton() const { return submitButton_; }

private:
    void submit();
    void setMismatch(bool mismatch);
    void refreshSubmitLook();

    SubmitHandler onSubmit_;
    bool mismatch_ = false;
    PasswordField* password_;
    PasswordField* confirm_;
    QLabel* mismatchLabel_;
    SubmitButton* submitButton_;
};

} // namespace vantory
