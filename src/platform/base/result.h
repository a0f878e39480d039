// The one error convention of the platform layer and the hosts: an operation answers a
// `Result`, which is either its value (or plain success) or a `Refusal` with a reason a
// person can read.
#pragma once

#include <string>
#include <utility>
#include <variant>

namespace jc {

/// Why an operation was refused: a message for the person who asked, naming what was
/// refused (the file, the word, the entry) and why. Callers add their own context in
/// front; the message never ends with a full stop or a line break.
struct Refusal {
  std::string message;
};

/// The value of an operation, or the refusal that stopped it. Converts implicitly from
/// either, so a function may `return value;` or `return Refusal{"why"};`.
template <class T = void>
class [[nodiscard]] Result {
 public:
  Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}
  Result(Refusal refusal) : state_(std::in_place_index<1>, std::move(refusal)) {}

  /// True when the operation succeeded and a value is held.
  bool ok() const { return state_.index() == 0; }
  explicit operator bool() const { return ok(); }

  /// The value; only when `ok()`.
  T& value() { return std::get<0>(state_); }
  const T& value() const { return std::get<0>(state_); }
  T& operator*() { return value(); }
  const T& operator*() const { return value(); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }

  /// The value, or `fallback` when the operation was refused.
  template <class U>
  T value_or(U&& fallback) && {
    return ok() ? std::move(value()) : T(std::forward<U>(fallback));
  }

  /// The refusal; only when not `ok()`.
  const Refusal& refusal() const { return std::get<1>(state_); }
  /// The refusal's message, or "" when the operation succeeded.
  const std::string& message() const { return ok() ? empty() : refusal().message; }

 private:
  static const std::string& empty() {
    static const std::string text;
    return text;
  }
  std::variant<T, Refusal> state_;
};

/// Success with nothing to answer, or a refusal. Default-constructed it is success.
template <>
class [[nodiscard]] Result<void> {
 public:
  Result() = default;
  Result(Refusal refusal) : refused_(true), refusal_(std::move(refusal)) {}

  /// True when the operation succeeded.
  bool ok() const { return !refused_; }
  explicit operator bool() const { return ok(); }
  /// The refusal; only meaningful when not `ok()`.
  const Refusal& refusal() const { return refusal_; }
  /// The refusal's message, or "" when the operation succeeded.
  const std::string& message() const { return refusal_.message; }

 private:
  bool refused_ = false;
  Refusal refusal_;
};

/// A success with nothing to answer, for `return jc::accepted();`.
inline Result<> accepted() {
  return {};
}

}  // namespace jc
