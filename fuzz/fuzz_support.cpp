#include "fuzz_support.h"

#include <cstdio>
#include <cstdlib>

void fuzzFailure(const std::string& rule, const std::string& detail)
{
    std::fprintf(stderr, "\n==fuzz== rule broken: %s\n==fuzz== %s\n", rule.c_str(), detail.c_str());
    std::fflush(stderr);
    std::abort();
}

std::vector<std::string> splitOnNul(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::string> tokens;
    std::string current;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            tokens.push_back(current);
            current.clear();
        } else {
            current += static_cast<char>(data[i]);
        }
    }
    if (!current.empty())
        tokens.push_back(current);
    return tokens;
}

std::string describeText(const std::string& text)
{
    std::string out = "[";
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F && byte != '\\') {
            out += c;
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", byte);
            out += hex;
        }
    }
    return out + "]";
}

std::string describeTokens(const std::vector<std::string>& tokens)
{
    std::string out;
    for (const std::string& token : tokens)
        out += (out.empty() ? "" : " ") + describeText(token);
    return out.empty() ? "(none)" : out;
}
