#pragma once

#include <cstdlib>
#include <optional>
#include <string>

namespace vantory::test {

// Sets an environment variable for the life of this object, then puts back what was there.
class EnvironmentVariable {
public:
    EnvironmentVariable(std::string name, const std::string& value) : name_(std::move(name))
    {
        if (const char* old = std::getenv(name_.c_str()))
            saved_ = old;
        setenv(name_.c_str(), value.c_str(), 1);
    }
    ~EnvironmentVariable() { saved_ ? setenv(name_.c_str(), saved_->c_str(), 1) : unsetenv(name_.c_str()); }
    EnvironmentVariable(const EnvironmentVariable&) = delete;
    EnvironmentVariable& operator=(const EnvironmentVariable&) = delete;

private:
    std::string name_;
    std::optional<std::string> saved_;
};

} // namespace vantory::test
