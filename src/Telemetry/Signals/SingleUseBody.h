#pragma once

#include <QByteArray>
#include <QIODevice>

namespace vantory {

// A request body that can be read once. When a connection closes before the answer,
// Qt posts the request again, though the service may have taken it already; from this
// body it cannot, and reports the failure instead.
class SingleUseBody final : public QIODevice {
public:
    explicit SingleUseBody(QByteArray data, QObject* parent = nullptr);

    bool isSequential() const override { return false; }
    qint64 size() const override { return data_.size(); }
    // Moving back is refused once any byte was read.
    bool seek(qint64 position) override;

    // Whether every byte was read, so the whole body may have reached the service.
    bool readCompletely() const { return furthestRead_ == data_.size(); }

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    const QByteArray data_;
    qint64 furthestRead_ = 0;
};

} // namespace vantory
