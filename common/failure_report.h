// How the running program reports a failure that ends it. Its top-level
// handler reports through here, and so does the Java runtime's exit hook,
// which runs in the runtime's frames where no C++ exception may pass: a
// failure found there reads exactly like one that was thrown and caught.
#pragma once

#include <exception>

using FailureReport = void (*)(const std::exception& failure);

// Until a program sets its own, the error box alone (showErrorBox).
void setFailureReport(FailureReport report);
void reportFailure(const std::exception& failure);
