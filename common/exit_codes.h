#pragma once

// The value of ERROR_UNHANDLED_EXCEPTION: what both programs return after a
// failure reached their top-level handler. Linux keeps its low 8 bits (62).
constexpr int kUnhandledExceptionExitCode = 574;

// What the application returns to ask for an update: the launcher starts
// the updater after the JVM's end, and writes no archive for a class path
// about to change.
constexpr int kUpdateRequestedExitCode = 100;
