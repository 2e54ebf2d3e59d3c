// Rules that every parse of a command line by the options library must keep,
// whichever program's table it used.
#pragma once

#include <boost/program_options.hpp>

#include <string>
#include <vector>

struct OptionTable {
    std::vector<std::string> switches; // rows without a value
    std::vector<std::string> texts;    // rows with a text value
    std::vector<std::string> others;   // rows with another value, checked by the caller
};

// Checks the parse of tokens (argv without the program name) against the
// table and returns what the program must pass on: the tokens of every
// unregistered or positional entry, in command-line order.
//
// The rules: the parsed entries account for every token, in order, except
// one "--" that ends the options (what follows is positional); every
// recognised entry names a row, as written or abbreviated, and is stored
// once in values with the value it was given; no token before that "--"
// that names a row (the whole name or a beginning of it) is passed on.
std::vector<std::string> checkParse(const std::vector<std::string>& tokens,
                                    const std::vector<boost::program_options::option>& parsed,
                                    const boost::program_options::variables_map& values, const OptionTable& table);

// A boolean option value as the updater documents it: true/false, yes/no,
// on/off or 1/0, in any letter case. Anything else, the empty text included,
// is no boolean and must fail the parse.
enum class DocumentedBool { isTrue, isFalse, invalid };
DocumentedBool documentedBool(const std::string& text);
