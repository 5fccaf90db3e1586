#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace vantory {

// One Vantory per user: the first instance listens on a local socket in the user's runtime
// folder; a later one finds it answering and leaves.
class SingleInstance final : public QObject {
    Q_OBJECT

public:
    // The socket path for this user: in XDG_RUNTIME_DIR when there is one, else in the
    // temporary folder under the user's id.
    static QString socketPath();

    explicit SingleInstance(QString path = socketPath(), QObject* parent = nullptr);

    // Whether this process is the one instance. A socket left by a crashed instance does
    // not count: nothing answers there, so it is replaced.
    bool claim();

private:
    QString path_;
    QLocalServer* server_ = nullptr;
};

} // namespace vantory
