#pragma once

// The value of ERROR_UNHANDLED_EXCEPTION: what both programs return after a
// failure reached their top-level handler. Linux keeps its low 8 bits (62).
constexpr int kUnhandledExceptionExitCode = 574;
