#include "Views/Components/ActionButton.h"

#include "Views/Components/Shake.h"

namespace vantory {

ActionButton::ActionButton(const QString& title, const std::string& icon, std::optional<QString> errorText,
                           std::function<void()> onTap, Scheduler& scheduler, QWidget* parent)
    : ActionRow(icon, title, "chevron.right", parent),
      title_(title),
      onTap_(std::move(onTap)),
      scheduler_(scheduler)
{
    connect(this, &QAbstractButton::clicked, this, [this] {
        if (!errorText_)
            onTap_();
    });
    setErrorText(errorText);
}

void ActionButton::setErrorText(const std::optional<QString>& errorText)
{
    errorText_ = errorText;
    setTitle(errorText.value_or(title_));
    if (!shakeRule_.shouldShake(errorText))
        return;
    scheduler_.post(Shake::errorDelay, this,
                    [this] { Shake::start(scheduler_, this, [this](double offset) { setShakeOffset(offset); }); });
}

} // namespace vantory
