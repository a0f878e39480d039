// Recording trace hooks for tests.
#include "support/trace_recorder.h"

namespace jc::test {
std::vector<TraceEntry>& recordedTrace() {
  static std::vector<TraceEntry> entries;
  return entries;
}
void clearTrace() {
  recordedTrace().clear();
}
std::vector<std::string> traceMessages() {
  std::vector<std::string> messages;
  for (const auto& entry : recordedTrace()) messages.push_back(entry.message);
  return messages;
}
}  // namespace jc::test

extern "C" {
void _PDEProlog(const void*, const char* format, ...) {
  jc::test::recordedTrace().push_back({'P', format});
}
void _PDEEpilog(const void*, const char* format, ...) {
  jc::test::recordedTrace().push_back({'E', format});
}
void _PDELog(const void*, const char* format, ...) {
  jc::test::recordedTrace().push_back({'L', format});
}
}
