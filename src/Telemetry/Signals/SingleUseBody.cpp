#include "Telemetry/Signals/SingleUseBody.h"

#include <algorithm>
#include <cstring>

namespace vantory {

SingleUseBody::SingleUseBody(QByteArray data, QObject* parent) : QIODevice(parent), data_(std::move(data))
{
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

bool SingleUseBody::seek(qint64 position)
{
    if (furthestRead_ > 0 && position < furthestRead_)
        return false;
    return QIODevice::seek(position);
}

qint64 SingleUseBody::readData(char* data, qint64 maxSize)
{
    const qint64 count = std::clamp<qint64>(data_.size() - pos(), 0, maxSize);
    std::memcpy(data, data_.constData() + pos(), static_cast<std::size_t>(count));
    furthestRead_ = std::max(furthestRead_, pos() + count);
    return count;
}

} // namespace vantory
