// The option table over the options library: rows, one parse, the help text.
#include "option_table.h"

#include <sstream>

namespace po = boost::program_options;

namespace {

// The help boxes' layout: line and description columns.
constexpr unsigned kLineLength = 80;
constexpr unsigned kDescriptionLength = 40;

} // namespace

bool ParsedCommandLine::has(const char* name) const
{
    return values.count(name) > 0;
}

std::optional<std::string> ParsedCommandLine::text(const char* name) const
{
    return value<std::string>(name);
}

std::vector<std::string> ParsedCommandLine::unknownTokens() const
{
    return po::collect_unrecognized(entries, po::include_positional);
}

CommandLineTable::CommandLineTable() : rows_("Allowed options", kLineLength, kDescriptionLength) {}

CommandLineTable& CommandLineTable::flag(const char* name, const char* description)
{
    rows_.add_options()(name, description);
    return *this;
}

CommandLineTable& CommandLineTable::text(const char* name, const char* description)
{
    rows_.add_options()(name, po::value<std::string>(), description);
    return *this;
}

CommandLineTable& CommandLineTable::value(const char* name, const po::value_semantic* semantic,
                                          const char* description)
{
    rows_.add_options()(name, semantic, description);
    return *this;
}

ParsedCommandLine CommandLineTable::parse(const std::vector<std::string>& arguments) const
{
    // The program name is not an option; an empty vector is tolerated.
    const std::vector<std::string> tokens(arguments.empty() ? arguments.end() : arguments.begin() + 1,
                                          arguments.end());

    ParsedCommandLine result;
    po::parsed_options parsed = po::command_line_parser(tokens).options(rows_).allow_unregistered().run();
    po::store(parsed, result.values);
    po::notify(result.values);
    result.entries = parsed.options;
    return result;
}

std::string CommandLineTable::helpText() const
{
    std::ostringstream help;
    help << rows_;
    return help.str();
}
