#include "launcher_options.h"

namespace po = boost::program_options;

void declareLauncherOptions(po::options_description& table)
{
    table.add_options()
        ("lhelp", "show this message")
        ("lversion", "show launcher version")
        ("lsplash", "show splash")
        ("lforceInstall", "force installation with web updater")
        ("lnoUpdate", "run the installed version, start no update")
        ("lconsole", "show console window")
        ("lcfgfile", po::value<std::string>(), "set application configuration file")
        ("ljrepath", po::value<std::string>(), "set path to the jre")
        ("lverbose", "verbose mode")
        ("levent", po::value<std::string>(), "event that will be fired after successfull launch");
}

LauncherOptions parseLauncherOptions(const std::vector<std::string>& arguments, const po::options_description& table)
{
    // The program name is not an option; an empty vector is tolerated.
    const std::vector<std::string> tokens(arguments.empty() ? arguments.end() : arguments.begin() + 1,
                                          arguments.end());

    LauncherOptions result;
    po::parsed_options parsed = po::command_line_parser(tokens).options(table).allow_unregistered().run();
    po::store(parsed, result.values);
    po::notify(result.values);
    result.parsed = parsed.options;
    return result;
}

std::vector<std::string> passThroughArgumentsOf(const LauncherOptions& options)
{
    return po::collect_unrecognized(options.parsed, po::include_positional);
}
