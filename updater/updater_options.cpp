// The updater's option rows and their record.
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

const CommandLineTable& updaterOptionTable()
{
    static const CommandLineTable table = [] {
        CommandLineTable rows;
        rows.flag("uhelp", "show this message")
            .flag("uversion", "show updater version")
            .text("udir", "updater directory")
            .text("uapp", "application name")
            .value("ukeep_update", po::value<RequiredBool>(), "keep update")
            .text("usnapshot", "path to the snapshot file")
            .text("ucaller", "path to the caller application (i.e. C:/Program Files/Tarnwick Enterprise/tw_ent.exe")
            .text("uappDir", "path to the application directory (i.e. C:/Program Files/Tarnwick Enterprise")
            .flag("uconsole", "show console window")
            .flag("uwebInstall", "invoke web installer")
            .text("ujrepath", "set path to the jre")
            .flag("uverbose", "verbose mode");
        return rows;
    }();
    return table;
}

UpdaterOptions updaterOptionsFrom(const ParsedCommandLine& parsed)
{
    UpdaterOptions options;
    options.help = parsed.has("uhelp");
    options.version = parsed.has("uversion");
    options.console = parsed.has("uconsole");
    options.webInstall = parsed.has("uwebInstall");
    options.verbose = parsed.has("uverbose");
    options.keepUpdate = parsed.value<RequiredBool>("ukeep_update").value_or(RequiredBool{}).value;
    options.updateDirectory = parsed.text("udir");
    options.application = parsed.text("uapp");
    options.snapshot = parsed.text("usnapshot");
    options.caller = parsed.text("ucaller");
    options.applicationDirectory = parsed.text("uappDir");
    options.jrePath = parsed.text("ujrepath");
    options.forwarded = parsed.unknownTokens();
    return options;
}

UpdaterOptions parseUpdaterOptions(const std::vector<std::string>& arguments)
{
    return updaterOptionsFrom(updaterOptionTable().parse(arguments));
}
