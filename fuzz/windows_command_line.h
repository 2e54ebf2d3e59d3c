// How a Windows program splits its command line into arguments, written from
// Microsoft's documented rules for C++ command-line arguments, with
// CommandLineToArgvW's reading of the first argument. The fuzz targets use it
// to check that what the programs write is read back unchanged.
#pragma once

#include <string>
#include <vector>

// The arguments of a whole command line, the program's name first:
// - argv[0]: when the line begins with a double quote, everything up to the
//   next double quote (which is dropped), otherwise up to the first blank or
//   tab; no escapes.
// - then arguments separated by blanks and tabs outside double quotes;
//   double quotes open and close quoted parts and are dropped; inside a
//   quoted part two double quotes in a row give one literal double quote;
//   2n backslashes before a double quote give n backslashes and the quote
//   delimits, 2n+1 give n backslashes and a literal double quote; other
//   backslashes are literal; an unclosed quoted part ends with the line.
// The rule for two double quotes inside a quoted part is the C runtime's;
// CommandLineToArgvW ends the quoted part there instead. *doubledQuote (when
// given) tells whether the line holds such a pair, where the two differ.
std::vector<std::string> splitWindowsCommandLine(const std::string& line, bool* doubledQuote = nullptr);
