// Assert: the always-on assertion for programming errors (never for input).
// Thread-safe: writes one line to standard error and aborts.
#ifndef VELMOR_BASE_ASSERT_H
#define VELMOR_BASE_ASSERT_H

// Writes "Assertion failed: <expr>, file <unit>, line <line>" to standard
// error and aborts the process. Never returns.
[[noreturn]] void VelmorAssertFail(const char* expr, const char* unit, int line);

// VELMOR_ASSERT(expr, "Unit"): stays on in release builds. `Unit` names the
// source unit (the file's class), as the messages of the system quote it.
#define VELMOR_ASSERT(expr, unit) \
  ((expr) ? static_cast<void>(0) : VelmorAssertFail(#expr, unit, __LINE__))

// For an expression text fixed by the system's messages (e.g. "false").
#define VELMOR_ASSERT_MSG(cond, text, unit) \
  ((cond) ? static_cast<void>(0) : VelmorAssertFail(text, unit, __LINE__))

#endif  // VELMOR_BASE_ASSERT_H
