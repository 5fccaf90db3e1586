#pragma once

#include "State/AppSettings.h"

#include <QTemporaryDir>
#include <memory>

namespace vantory::test {

// Settings in a file of their own, so parallel tests never share them.
class TestSettings {
public:
    TestSettings() { settings = std::make_unique<AppSettings>(makeStore()); }
    std::unique_ptr<QSettings> makeStore() const
    {
        return std::make_unique<QSettings>(dir_.filePath("settings.ini"), QSettings::IniFormat);
    }
    AppSettings& operator*() { return *settings; }
    AppSettings* operator->() { return settings.get(); }

    std::unique_ptr<AppSettings> settings;

private:
    QTemporaryDir dir_;
};

} // namespace vantory::test
