// The splash subsystem reports only through whole diagnostic lines, written
// whatever the verbose switch says.
#pragma once

#include <string>

// One write of the text and its line end, then a flush: lines from the
// splash thread and from its callers never mix within a line.
void splash_line(const std::string& text);
void splash_error_line(const std::string& text);
