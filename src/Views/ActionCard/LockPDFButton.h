#pragma once

#include "Platform/Scheduler.h"
#include "Views/Components/ErrorShakeRule.h"

#include <QWidget>
#include <functional>
#include <optional>
#include <string>

class QLabel;

namespace vantory {

class ActionRow;
class FoldingSection;
class PasswordField;
class SubmitButton;

// A row that asks for a new password twice and hands it on when both entries agree. Its
// header unfolds the two boxes and the submit button. An empty password is ignored; entries
// that differ show "Passwords don't match" and shake the confirmation box until the header
// is clicked again. Return submits from the confirmation box only.
// While the action's last run has an error, the error stands in the title's place, the row
// folds and clicks on the header do nothing; a newly arrived error shakes the row.
class LockPDFButton : public QWidget {
    Q_OBJECT

public:
    using SubmitHandler = std::function<void(const std::string& password)>;

    LockPDFButton(const QString& title, const QString& buttonLabel, SubmitHandler onSubmit, std::optional<QString> errorText,
                  Scheduler& scheduler, QWidget* parent = nullptr);

    void setErrorText(const std::optional<QString>& errorText);
    const std::optional<QString>& errorText() const { return errorText_; }

    bool isExpanded() const { return expanded_; }
    bool showsMismatch() const { return mismatch_; }

    ActionRow* header() const { return header_; }
    PasswordField* passwordField() const { return password_; }
    PasswordField* confirmField() const { return confirm_; }
    SubmitButton* submitButton() const { return submitButton_; }

private:
    void toggle();
    void submit();
    void setMismatch(bool mismatch);
    void refreshSubmitLook();

    QString title_;
    SubmitHandler onSubmit_;
    std::optional<QString> errorText_;
    Scheduler& scheduler_;
    ErrorShakeRule shakeRule_{ErrorShakeRule::OnClear::forget};
    bool expanded_ = false;
    bool mismatch_ = false;
    ActionRow* header_;
    FoldingSection* section_;
    PasswordField* password_;
    PasswordField* confirm_;
    QLabel* mismatchLabel_;
    SubmitButton* submitButton_;
};

} // namespace vantory
