#include "App/SingleInstance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <unistd.h>

namespace vantory {

namespace {

constexpr int connectTimeoutMs = 500;

} // namespace

QString SingleInstance::socketPath()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir(runtime).exists())
        return QDir(runtime).filePath(QStringLiteral("vantory.socket"));
    return QDir(QDir::tempPath()).filePath(QStringLiteral("vantory-%1.socket").arg(getuid()));
}

SingleInstance::SingleInstance(QString path, QObject* parent) : QObject(parent), path_(std::move(path))
{
}

bool SingleInstance::claim()
{
    QLocalSocket probe;
    probe.connectToServer(path_);
    if (probe.waitForConnected(connectTimeoutMs))
        return false;

    QLocalServer::removeServer(path_);
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(path_))
        return false;
    // A later instance only needs to find someone listening.
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection())
            socket->deleteLater();
    });
    return true;
}

} // namespace vantory
