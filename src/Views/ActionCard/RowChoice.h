#pragma once

#include "Models/FileAction.h"

#include <QString>
#include <optional>
#include <string>

namespace vantory {

// Which row the action card shows for an action.
enum class RowKind {
    lock, // a new password, twice, then the action runs with it
    unlockZip, // an archive's password, tested by a trial extraction
    unlockPdf, // a PDF's password, tested by opening it
    convertMenu, // a pill per output format
    disabled, // greyed, with the reason
    button, // runs the action on a click
};

// What the card knows besides the action when it picks a row.
struct RowContext {
    bool payloadIsEncryptedPdf = false;
    // The last run's message when every file failed, and the action that ran.
    std::optional<std::string> singleFileError;
    std::optional<std::string> singleFileErrorActionId;
};

struct RowChoice {
    RowKind kind = RowKind::button;
    // The row's title; the unlock rows title themselves.
    QString title;
    // The lock row's submit button.
    QString buttonLabel;
    // Whether an unlock row opens as soon as it is shown.
    bool autoExpand = false;
    // A failed run's message, on the row of the action that ran.
    std::optional<QString> errorText;

    bool operator==(const RowChoice&) const = default;
};

// The first rule that holds decides: the password actions by id, then an action with
// targets (a convert menu even when disabled), then a disabled action, else a button.
RowChoice chooseRow(const FileAction& action, const RowContext& context);

} // namespace vantory
