#pragma once

#include "State/OutputLocation.h"

#include <QObject>
#include <QSettings>
#include <memory>

namespace vantory {

// The user's persisted settings. Every assignment is stored at once.
class AppSettings final : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool moveOriginalToTrash READ moveOriginalToTrash WRITE setMoveOriginalToTrash NOTIFY moveOriginalToTrashChanged)

public:
    // The process's settings, in the user's configuration folder.
    static AppSettings& shared();
    // Settings kept in `store` (tests give each one a file of its own).
    explicit AppSettings(std::unique_ptr<QSettings> store);

    bool moveOriginalToTrash() const { return moveOriginalToTrash_; }
    void setMoveOriginalToTrash(bool value);

    OutputLocation outputLocation() const { return outputLocation_; }
    void setOutputLocation(OutputLocation value);

    // Whether the program starts when the user logs in.
    bool launchAtLogin() const { return launchAtLogin_; }
    void setLaunchAtLogin(bool value);

    // Completed runs so far, for the donation prompt.
    int completedRunCount() const;
    void setCompletedRunCount(int count);

Q_SIGNALS:
    void moveOriginalToTrashChanged(bool value);
    void outputLocationChanged(vantory::OutputLocation value);
    void launchAtLoginChanged(bool value);

private:
    static constexpr const char* moveToTrashKey = "moveOriginalToTrash";
    static constexpr const char* outputLocationKey = "outputLocation";
    static constexpr const char* launchAtLoginKey = "launchAtLogin";
    static constexpr const char* completedRunCountKey = "completedRunCount";

    std::unique_ptr<QSettings> store_;
    bool moveOriginalToTrash_ = false;
    OutputLocation outputLocation_ = OutputLocation::sameFolder;
    bool launchAtLogin_ = false;
};

} // namespace vantory
