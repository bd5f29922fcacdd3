#pragma once
// Exceptions that end a user action. The dispatch point (Dispatch.h) catches them:
// SilentAbort without a further message, every other std::exception by showing what().
#include <stdexcept>
#include <string>

namespace pelmora {

// Thrown after a message has already been shown (blank or invalid field, temperature
// cross, ...): the current user action ends and nothing more is said.
class SilentAbort : public std::exception {
 public:
  const char* what() const noexcept override { return "silent abort"; }
};

// A text that should have been a number, e.g. "'abc' is not a valid floating point value".
class ConversionError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Division by zero, logarithm or root of a non-positive number, overflow.
class FloatingPointError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// An iteration that reached its bound.
class ConvergenceError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace pelmora
