#pragma once

#include "Views/Components/TextButton.h"

namespace vantory {

// The full-width button under the password boxes: accent with white text while it can act,
// faint grey otherwise.
class SubmitButton final : public TextButton {
    Q_OBJECT

public:
    explicit SubmitButton(const QString& text, QWidget* parent = nullptr);

    void setReady(bool ready);
    bool isReady() const { return ready_; }

private:
    bool ready_ = false;
};

} // namespace vantory
