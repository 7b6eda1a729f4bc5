#pragma once

#include <string>
#include <utility>

// The outcome of an operation that can fail: success, or a message meant for the user.
// Our code reports failures through values like this one and never throws.
class Status {
public:
    static Status Ok() { return Status(); }
    static Status Failure(std::string message) { return Status(false, std::move(message)); }

    bool ok() const { return ok_; }
    explicit operator bool() const { return ok_; }
    const std::string& message() const { return message_; }

private:
    Status() = default;
    Status(bool ok, std::string message) : ok_(ok), message_(std::move(message)) {}

    bool ok_ = true;
    std::string message_;
};
