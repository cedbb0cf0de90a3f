#pragma once
#include <stdexcept>
#include <string>

namespace numeric {

// The errors the program's windows can meet. Each carries the Japanese text
// shown in the error box (UTF-8).
class ProgramError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class EZeroDivide : public ProgramError {
 public:
  EZeroDivide() : ProgramError("0 による浮動小数点数除算") {}
};

class EInvalidOp : public ProgramError {
 public:
  EInvalidOp() : ProgramError("不正な浮動小数点数演算命令") {}
};

class EOverflow : public ProgramError {
 public:
  EOverflow() : ProgramError("浮動小数点数のオーバーフロー") {}
};

class EOutOfResources : public ProgramError {
 public:
  explicit EOutOfResources(const std::string& message = "システム リソースが足りません") : ProgramError(message) {}
};

// The text of the error box for a message: a "." is appended when the message
// is not empty and its last character compares greater than "." byte by byte.
std::string ErrorBoxText(const std::string& message);

}  // namespace numeric
