#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <string>

namespace vantory {

// What came back for one post.
struct SendOutcome {
    // The HTTP status, when a response came.
    std::optional<int> statusCode;
    // The transport failure's text, when the request failed without a response.
    std::optional<QString> transportError;
    QByteArray data;
};

// None when the service took the batch; otherwise the failure as the log names it.
// Without a status there is no sign the batch arrived, so that is a failure too.
std::optional<std::string> failureOf(const SendOutcome& outcome);

} // namespace vantory
