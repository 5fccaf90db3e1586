#pragma once

#include <exception>
#include <string>

namespace vantory {

// An error that names itself with a stable id, so that error signals of the same
// failure can be counted together whatever their text.
class IdentifiableError {
public:
    virtual ~IdentifiableError() = default;
    virtual std::string id() const = 0;
    // The error's readable description, sent as the signal's message.
    virtual std::string description() const = 0;
};

// Any exception given an id.
class AnyIdentifiableError final : public IdentifiableError {
public:
    AnyIdentifiableError(std::string id, const std::exception& error);

    std::string id() const override { return id_; }
    // The wrapped exception's what().
    std::string description() const override { return description_; }

private:
    std::string id_;
    std::string description_;
};

// `error` with the id `id`.
AnyIdentifiableError withId(const std::exception& error, std::string id);

} // namespace vantory
