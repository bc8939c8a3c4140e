#pragma once
// Raised when a name is not in its list ("Image '%s' not found",
// "Wave '%s' not found"). The frame loop catches it and abandons the tick.
#include <stdexcept>
#include <string>

class ELookupError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A missing or malformed archive; start-up stops with this message.
class EArchiveError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};
