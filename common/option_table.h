// A program's command-line options: one table declares them, parses the
// arguments after the program's name and writes the help text.
#pragma once

#include <boost/program_options.hpp>

#include <optional>
#include <string>
#include <vector>

// One parse, as the options library gives it: the stored values, and every
// entry in command-line order (unknown ones marked unregistered).
struct ParsedCommandLine {
    boost::program_options::variables_map values;
    std::vector<boost::program_options::option> entries;

    bool has(const char* name) const;
    std::optional<std::string> text(const char* name) const;
    template <class T>
    std::optional<T> value(const char* name) const
    {
        if (!has(name))
            return std::nullopt;
        return values[name].as<T>();
    }
    // Every token that no option consumed, as written, in command-line order.
    std::vector<std::string> unknownTokens() const;
};

class CommandLineTable {
public:
    CommandLineTable();

    CommandLineTable& flag(const char* name, const char* description);
    CommandLineTable& text(const char* name, const char* description);
    // A value the library checks by its own rules (semantic is owned by the
    // table from here on).
    CommandLineTable& value(const char* name, const boost::program_options::value_semantic* semantic,
                            const char* description);

    // Parses every argument but the first (the program's name); unknown
    // tokens are kept. Throws the options library's errors.
    ParsedCommandLine parse(const std::vector<std::string>& arguments) const;

    // The library's rendering of the table, rows in declaration order.
    std::string helpText() const;

private:
    boost::program_options::options_description rows_;
};
