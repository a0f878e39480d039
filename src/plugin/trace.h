// The trace hooks every protocol operation and main internal step calls. They accept a
// tracing object, a message format and its arguments, and do nothing else: no output, no
// allocation, no state.
#pragma once

#include "platform/base/export.h"

extern "C" {
/// Marks the entry of an operation.
JC_EXPORT void _PDEProlog(const void* object, const char* format, ...);
/// Marks the exit of an operation, with its result where the message shows one.
JC_EXPORT void _PDEEpilog(const void* object, const char* format, ...);
/// Marks a notable moment inside an operation.
JC_EXPORT void _PDELog(const void* object, const char* format, ...);
}
