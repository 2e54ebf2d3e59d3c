// Exit codes that carry a meaning between the programs and their callers.
#pragma once

// The value of ERROR_UNHANDLED_EXCEPTION: what both programs return after a
// failure reached their top-level handler. Linux keeps its low 8 bits (62).
constexpr int kUnhandledExceptionExitCode = 574;

// The application's way to ask for an update, which runs after the JVM's end.
constexpr int kUpdateRequestedExitCode = 100;
