#include "Views/ActionCard/SubmitButton.h"

#include "Views/Theme.h"
#include "Views/Typography.h"

namespace vantory {

namespace {

TextButton::Look lookWhen(bool ready)
{
    constexpr double cornerRadius = 10;
    constexpr int padding = 9;
    const QFont font = Typography::font(Theme::TextSize::body, QFont::Bold);
    if (ready)
        return {font, Qt::white, Theme::accent(), cornerRadius, padding, padding};
    return {font, Theme::textSecondary(), Theme::withOpacity(Theme::textSecondary(), 0.15), cornerRadius, padding, padding};
}

} // namespace

SubmitButton::SubmitButton(const QString& text, QWidget* parent) : TextButton(text, lookWhen(false), parent) { }

void SubmitButton::setReady(bool ready)
{
    if (ready == ready_)
        return;
    ready_ = ready;
    setLook(lookWhen(ready));
}

} // namespace vantory
