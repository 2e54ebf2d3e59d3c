#include "updater_options.h"

namespace po = boost::program_options;

namespace {

// The library reads an empty value as true, for switches whose value may be
// left out; --ukeep_update "" would then keep the update unasked.
struct RequiredBool {
    bool value = false;
};

void validate(boost::any& result, const std::vector<std::string>& values, RequiredBool*, int)
{
    po::validators::check_first_occurrence(result);
    const std::string& text = po::validators::get_single_string(values);
    if (text.empty())
        throw po::invalid_bool_value(text);
    boost::any parsed;
    po::validate(parsed, values, static_cast<bool*>(nullptr), 0);
    result = RequiredBool{boost::any_cast<bool>(parsed)};
}

} // namespace

void declareUpdaterOptions(po::options_description& table)
{
    table.add_options()
        ("uhelp", "show this message")
        ("uversion", "show updater version")
        ("udir", po::value<std::string>(), "updater directory")
        ("uapp", po::value<std::string>(), "application name")
        ("ukeep_update", po::value<RequiredBool>(), "keep update")
        ("usnapshot", po::value<std::string>(), "path to the snapshot file")
        ("ucaller", po::value<std::string>(),
         "path to the caller application (i.e. C:/Program Files/Tarnwick Enterprise/tw_ent.exe")
        ("uappDir", po::value<std::string>(),
         "path to the application directory (i.e. C:/Program Files/Tarnwick Enterprise")
        ("uconsole", "show console window")
        ("uwebInstall", "invoke web installer")
        ("ujrepath", po::value<std::string>(), "set path to the jre")
        ("uverbose", "verbose mode");
}

UpdaterOptions parseUpdaterOptions(const std::vector<std::string>& arguments, const po::options_description& table)
{
    // The program name is not an option.
    const std::vector<std::string> tokens(arguments.empty() ? arguments.end() : arguments.begin() + 1,
                                          arguments.end());

    UpdaterOptions result;
    po::parsed_options parsed = po::command_line_parser(tokens).options(table).allow_unregistered().run();
    po::store(parsed, result.values);
    po::notify(result.values);
    result.parsed = parsed.options;
    return result;
}

bool keepUpdateRequested(const UpdaterOptions& options)
{
    return options.has("ukeep_update") && options.values["ukeep_update"].as<RequiredBool>().value;
}

std::vector<std::string> forwardedTokensOf(const UpdaterOptions& options)
{
    return po::collect_unrecognized(options.parsed, po::include_positional);
}
