#pragma once
#include <concepts>
#include <string>
#include <utility>
#include <variant>

namespace numeric {

// How every layer reports an ordinary failure (a file that cannot be read, a
// value out of range, a server that refuses): a Result holds either the value
// or the reason, a message in the user's words. A value converts to a Result
// implicitly; a reason only through Fail, so that a Result<std::string> is
// never mistaken. Status is a Result without a value: success or a reason.
// Tested as a condition, a Result is true when it holds the value.
struct Failure {
  std::string reason;
};

inline Failure Fail(std::string reason) { return {std::move(reason)}; }

template <typename T>
class [[nodiscard]] Result {
 public:
  Result(T value) : held_(std::in_place_index<0>, std::move(value)) {}
  Result(Failure failure) : held_(std::in_place_index<1>, std::move(failure)) {}
  // Success, for a Status alone.
  Result()
    requires std::same_as<T, std::monostate>
  = default;

  bool ok() const { return held_.index() == 0; }
  explicit operator bool() const { return ok(); }

  // The value; only when ok().
  T& value() { return std::get<0>(held_); }
  const T& value() const { return std::get<0>(held_); }
  T& operator*() { return value(); }
  const T& operator*() const { return value(); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }

  // Why it failed; empty when ok().
  const std::string& Reason() const {
    static const std::string kNone;
    return ok() ? kNone : std::get<1>(held_).reason;
  }

 private:
  std::variant<T, Failure> held_;
};

using Status = Result<std::monostate>;

}  // namespace numeric
