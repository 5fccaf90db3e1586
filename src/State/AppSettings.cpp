#include "State/AppSettings.h"

namespace vantory {

AppSettings& AppSettings::shared()
{
    static AppSettings settings(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, "Vantory", "Vantory"));
    return settings;
}

AppSettings::AppSettings(std::unique_ptr<QSettings> store) : store_(std::move(store))
{
    moveOriginalToTrash_ = store_->value(moveToTrashKey, false).toBool();
    outputLocation_ = outputLocationFromRawValue(store_->value(outputLocationKey).toString().toStdString())
                          .value_or(OutputLocation::sameFolder);
    launchAtLogin_ = store_->value(launchAtLoginKey, false).toBool();
}

void AppSettings::setMoveOriginalToTrash(bool value)
{
    moveOriginalToTrash_ = value;
    store_->setValue(moveToTrashKey, value);
    store_->sync();
    Q_EMIT moveOriginalToTrashChanged(value);
}

void AppSettings::setOutputLocation(OutputLocation value)
{
    outputLocation_ = value;
    store_->setValue(outputLocationKey, QString::fromStdString(rawValue(value)));
    store_->sync();
    Q_EMIT outputLocationChanged(value);
}

void AppSettings::setLaunchAtLogin(bool value)
{
    launchAtLogin_ = value;
    store_->setValue(launchAtLoginKey, value);
    store_->sync();
    Q_EMIT launchAtLoginChanged(value);
}

int AppSettings::completedRunCount() const
{
    return store_->value(completedRunCountKey, 0).toInt();
}

void AppSettings::setCompletedRunCount(int count)
{
    store_->setValue(completedRunCountKey, count);
    store_->sync();
}

} // namespace vantory
