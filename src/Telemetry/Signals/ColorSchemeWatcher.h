#pragma once

#include <QDBusVariant>
#include <QObject>
#include <atomic>
#include <string>

namespace vantory {

// The desktop's light or dark preference from the desktop portal: read once without
// waiting, then kept current from the portal's change signal.
class ColorSchemeWatcher final : public QObject {
    Q_OBJECT

public:
    // The process-wide watcher; make it on the main thread.
    static ColorSchemeWatcher& shared();

    // "Light", "Dark" or "N/A" while the portal has not answered (or there is none).
    std::string colorScheme() const;

    // The portal's "color-scheme" value: 1 prefers dark, 0 (no preference) and 2 light.
    static std::string colorSchemeText(uint portalValue);

private Q_SLOTS:
    void settingChanged(const QString& group, const QString& key, const QDBusVariant& value);

private:
    ColorSchemeWatcher();
    void readOnce();
    void take(const QVariant& value);

    // -1 while unknown.
    std::atomic<int> portalValue_ = -1;
};

} // namespace vantory
