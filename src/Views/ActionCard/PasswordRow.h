#pragma once

#include "Platform/Scheduler.h"
#include "Views/Components/ErrorShakeRule.h"
#include "Views/Components/RowErrorText.h"

#include <QWidget>
#include <optional>
#include <string>

class QVBoxLayout;

namespace vantory {

class ActionRow;
class FoldingSection;
class PasswordField;

// What both password rows share: a header that unfolds the section below it, and the way a
// failed run shows on the row. While the action's last run has an error, the error stands in
// the title's place, the row folds and clicks on the header do nothing; a newly arrived error
// shakes the row a moment later. Opening the row puts the keyboard in its first box, so
// typing needs no click there; folding it gives the keyboard back.
class PasswordRow : public QWidget, public RowErrorText {
    Q_OBJECT

public:
    void setErrorText(const std::optional<QString>& errorText) override;
    const std::optional<QString>& errorText() const { return errorText_; }

    bool isExpanded() const { return expanded_; }
    ActionRow* header() const { return header_; }
    // The box that gets the keyboard when the row opens.
    virtual PasswordField* passwordField() const = 0;

Q_SIGNALS:
    // The header folded or unfolded the section.
    void toggled(bool expanded);

protected:
    // The header shows `foldedSymbol` while the section is folded, `unfoldedSymbol` while it is open.
    PasswordRow(const std::string& foldedSymbol, const std::string& unfoldedSymbol, const QString& title, Scheduler& scheduler,
                QWidget* parent);

    // Where a row lays out its boxes and buttons.
    QVBoxLayout* sectionLayout() const;
    QWidget* section() const;
    Scheduler& scheduler() const { return scheduler_; }
    void toggle();
    void showEvent(QShowEvent* event) override;

private:
    void showExpanded(bool expanded);
    void giveKeyboardToFirstBox();

    std::string foldedSymbol_;
    std::string unfoldedSymbol_;
    QString title_;
    Scheduler& scheduler_;
    std::optional<QString> errorText_;
    ErrorShakeRule shakeRule_{ErrorShakeRule::OnClear::forget};
    bool expanded_ = false;
    // Opened before it was on screen: the keyboard waits until it is.
    bool keyboardWanted_ = false;
    ActionRow* header_;
    FoldingSection* section_;
};

} // namespace vantory
