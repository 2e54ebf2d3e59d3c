// What the fuzz targets share: how a broken rule ends the run, and how an
// input becomes tokens and is described in a report.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Ends the run as a finding. libFuzzer keeps the input that got here and
// prints the stack; the text says which rule broke.
[[noreturn]] void fuzzFailure(const std::string& rule, const std::string& detail);

#define FUZZ_CHECK(condition, detail)                                                                            \
    do {                                                                                                         \
        if (!(condition))                                                                                        \
            fuzzFailure(#condition, detail);                                                                     \
    } while (false)

// The input as NUL-terminated tokens, the last one's NUL optional: "" gives
// no token, "\0" one empty token, "a\0b" and "a\0b\0" the tokens a and b.
// No argument can hold a NUL, so nothing is lost by the cut.
std::vector<std::string> splitOnNul(const std::uint8_t* data, std::size_t size);

// Tokens shown for a failure report: each between brackets, bytes outside
// printable ASCII in hex.
std::string describeTokens(const std::vector<std::string>& tokens);
std::string describeText(const std::string& text);
