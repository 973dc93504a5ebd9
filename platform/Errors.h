#pragma once
#include <stdexcept>

namespace ze {

// Base of every error the editor raises; the message is UTF-8.
class Exception : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// A file that cannot be read or written; the message names it and the reason.
class EFileError : public Exception {
public:
  using Exception::Exception;
};

} // namespace ze
