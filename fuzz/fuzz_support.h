// What the fuzz targets share: how a broken rule ends the run, how an input
// becomes tokens, and argument vectors for the option parsers.
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

// argv for an options parser: the program name, then the tokens.
class ArgumentVector {
public:
    ArgumentVector(const std::string& program, const std::vector<std::string>& tokens);
    ArgumentVector(const ArgumentVector&) = delete;
    ArgumentVector& operator=(const ArgumentVector&) = delete;
    int argc() const { return static_cast<int>(tokens_.size()); }
    char** argv() { return pointers_.data(); }

private:
    std::vector<std::string> tokens_;
    std::vector<char*> pointers_;
};
