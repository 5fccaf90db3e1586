#pragma once

#include <QString>
#include <optional>

namespace vantory {

// A row of the action card that shows, under its title, why its action last failed.
class RowErrorText {
public:
    // None: no error shown.
    virtual void setErrorText(const std::optional<QString>& errorText) = 0;

protected:
    ~RowErrorText() = default;
};

} // namespace vantory
