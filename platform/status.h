// The result of an operation that can fail for reasons outside the program (files, input):
// either ok, or a message that says what went wrong and, where possible, how to fix it.
#pragma once

#include <string>
#include <utility>

namespace spanlab {

class Status {
 public:
  Status() = default;
  static Status Ok() { return Status(); }
  static Status Error(std::string message) { return Status(std::move(message)); }

  bool ok() const { return !failed_; }
  const std::string& message() const { return message_; }

 private:
  explicit Status(std::string message) : message_(std::move(message)), failed_(true) {}
  std::string message_;
  bool failed_ = false;
};

}  // namespace spanlab
