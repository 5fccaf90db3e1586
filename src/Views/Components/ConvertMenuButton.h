#pragma once

#include "Models/FileAction.h"
#include "Platform/Scheduler.h"
#include "Views/Components/ErrorShakeRule.h"
#include "Views/Components/RowErrorText.h"

#include <QPointer>
#include <QVariantAnimation>
#include <QWidget>
#include <functional>
#include <optional>

namespace vantory {

class ActionRow;
class PillGrid;

// A convert action: a row that unfolds, below itself, a pill per output format. A pill runs
// the action with its format and leaves the menu open. While the action's last run has an
// error, the error stands in the title's place and clicks on the row do nothing; a new error
// folds the menu and shakes the row. The menu remembers the last error across a clear, so
// the same error published again after a clear does not shake it twice.
class ConvertMenuButton : public QWidget, public RowErrorText {
    Q_OBJECT

public:
    ConvertMenuButton(const FileAction& action, std::optional<QString> errorText,
                      std::function<void(const std::string& format)> onSelectFormat, Scheduler& scheduler,
                      QWidget* parent = nullptr);

    void setErrorText(const std::optional<QString>& errorText) override;
    const std::optional<QString>& errorText() const { return errorText_; }
    bool isExpanded() const { return expanded_; }

    ActionRow* row() const { return row_; }
    PillGrid* grid() const { return grid_; }

private:
    void toggle();
    void foldAtOnce();
    void reveal(double fraction);

    QString title_;
    std::optional<QString> errorText_;
    Scheduler& scheduler_;
    ErrorShakeRule shakeRule_{ErrorShakeRule::OnClear::remember};
    bool expanded_ = false;
    double revealed_ = 0;
    ActionRow* row_;
    PillGrid* grid_;
    // The running spring; it deletes itself when it stops.
    QPointer<QVariantAnimation> unfolding_;
};

} // namespace vantory
