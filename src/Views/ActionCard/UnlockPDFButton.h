#pragma once

#include "Views/ActionCard/PasswordRow.h"

#include <QFutureWatcher>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

class QLabel;

namespace vantory {

class PasswordField;
class SubmitButton;

// A row that asks for the password of a protected document or archive, checks it off the
// main thread and hands it on only when the check accepts it. While a check runs the button
// reads "Checking…" and a second Return or click is ignored. A rejected password empties the
// box and shows "Wrong password" until the user next edits the entry.
//
// The row is made for one payload: it keeps that payload's serial and, when a verdict
// arrives, asks `currentPayloadSerial` for the serial in force. A verdict for a payload that
// has since been replaced is dropped, and a row that is gone gets no verdict at all, so a
// late answer never starts a run on another selection. So a card that goes on showing the
// action for a new payload makes a new row for it rather than keeping this one. The validator runs on a worker
// thread with its own copy of the password; it must not touch the interface, and it may
// outlive the row.
class UnlockPDFButton : public PasswordRow {
    Q_OBJECT

public:
    using SubmitHandler = std::function<void(const std::string& password)>;
    using Validator = std::function<bool(const std::string& password)>;
    using SerialSource = std::function<std::uint64_t()>;

    // `autoExpand` unfolds the row as it is made and titles it "Unlock Document" rather
    // than "Unlock PDF".
    UnlockPDFButton(SubmitHandler onSubmit, Validator validatePassword, bool autoExpand, std::uint64_t payloadSerial,
                    SerialSource currentPayloadSerial, std::optional<QString> errorText, Scheduler& scheduler,
                    QWidget* parent = nullptr);

    bool isChecking() const { return checking_; }
    bool showsWrongPassword() const { return wrongPassword_; }

    PasswordField* passwordField() const override { return password_; }
    SubmitButton* unlockButton() const { return unlockButton_; }

private:
    void attemptUnlock();
    void takeVerdict();
    void setWrongPassword(bool wrong);
    void refreshButton();

    SubmitHandler onSubmit_;
    Validator validatePassword_;
    std::uint64_t payloadSerial_;
    SerialSource currentPayloadSerial_;
    bool checking_ = false;
    bool wrongPassword_ = false;
    // The password being checked, as it was when the check started.
    std::string checkedPassword_;
    QFutureWatcher<bool> verdict_;
    PasswordField* password_;
    QLabel* wrongPasswordLabel_;
    SubmitButton* unlockButton_;
};

} // namespace vantory
