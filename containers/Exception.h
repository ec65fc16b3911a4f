#pragma once
// The common base of the library's exceptions: it carries the message text and is caught
// like any std::exception.

#include <stdexcept>
#include <string>

namespace baslink {

class Exception : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;

    std::string Message() const { return what(); }
};

}  // namespace baslink
