// A recording substitute for the panel's trace hooks, linked into test programs in place
// of the shipped no-op functions.
#pragma once

#include <string>
#include <vector>

namespace jc::test {

/// One trace call: which hook and its message format.
struct TraceEntry {
  char hook;  ///< 'P' prolog, 'E' epilog, 'L' log
  std::string message;
  bool operator==(const TraceEntry&) const = default;
};

/// The calls recorded since the last `clearTrace`.
std::vector<TraceEntry>& recordedTrace();
void clearTrace();
/// The messages alone, in order.
std::vector<std::string> traceMessages();

}  // namespace jc::test
