#pragma once

#include "Platform/Scheduler.h"
#include "Views/Components/ActionRow.h"
#include "Views/Components/ErrorShakeRule.h"
#include "Views/Components/RowErrorText.h"

#include <functional>
#include <optional>

namespace vantory {

// A row that runs its action when clicked. While the action's last run has an error, the
// error stands in the title's place and clicks do nothing; a newly arrived error shakes
// the row. Clearing the error forgets it, so the same error coming back shakes again.
class ActionButton : public ActionRow, public RowErrorText {
    Q_OBJECT

public:
    ActionButton(const QString& title, const std::string& icon, std::optional<QString> errorText, std::function<void()> onTap,
                 Scheduler& scheduler, QWidget* parent = nullptr);

    void setErrorText(const std::optional<QString>& errorText) override;
    const std::optional<QString>& errorText() const { return errorText_; }

private:
    QString title_;
    std::optional<QString> errorText_;
    std::function<void()> onTap_;
    Scheduler& scheduler_;
    ErrorShakeRule shakeRule_{ErrorShakeRule::OnClear::forget};
};

} // namespace vantory
