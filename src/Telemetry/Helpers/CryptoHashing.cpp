#include "Telemetry/Helpers/CryptoHashing.h"

#include <QByteArray>
#include <QCryptographicHash>

namespace vantory::CryptoHashing {

std::string sha256(std::string_view string, std::string_view salt)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(QByteArrayView(string.data(), static_cast<qsizetype>(string.size())));
    hash.addData(QByteArrayView(salt.data(), static_cast<qsizetype>(salt.size())));
    return hash.result().toHex().toStdString();
}

} // namespace vantory::CryptoHashing
