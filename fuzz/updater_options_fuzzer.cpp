// The updater's command line: any argument vector ends in the library's
// option error, or in options that account for every token, a keep-update
// flag that the value given says, and every token that is no updater option
// forwarded to the Java runner in order.
#include "updater_options.h"

#include "fuzz_support.h"
#include "option_checks.h"
#include "parse_command_line.h"

#include <typeinfo>

namespace po = boost::program_options;

namespace {

const OptionTable kUpdaterTable{
    {"uhelp", "uversion", "uconsole", "uwebInstall", "uverbose"},
    {"udir", "uapp", "usnapshot", "ucaller", "uappDir", "ujrepath"},
    {"ukeep_update"},
};

// The keep-update value as written on the command line, if any.
const po::option* keepUpdateEntry(const ParsedCommandLine& parsed)
{
    for (const po::option& entry : parsed.entries) {
        if (!entry.unregistered && entry.string_key == "ukeep_update")
            return &entry;
    }
    return nullptr;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::vector<std::string> tokens = splitOnNul(data, size);
    const auto input = [&] { return describeTokens(tokens); }; // built only for a report
    ParsedCommandLine parsed;
    try {
        parsed = updaterOptionTable().parse(argumentVector("updater", tokens));
    } catch (const po::error&) {
        return 0; // shown in the error box; the updater ends with 574
    } catch (const std::exception& e) {
        fuzzFailure("only the options library's errors",
                    std::string(typeid(e).name()) + ": " + e.what() + ", input " + input());
    }

    const UpdaterOptions options = updaterOptionsFrom(parsed);
    const std::vector<std::string> expected = checkParse(tokens, parsed.entries, parsed.values, kUpdaterTable);
    const std::vector<std::string> forwarded = options.forwarded;
    FUZZ_CHECK(forwarded == expected, "forwarded " + describeTokens(forwarded) + " instead of " +
                                          describeTokens(expected) + ", input " + input());

    // A value that is no documented boolean must have failed the parse above.
    const po::option* keep = keepUpdateEntry(parsed);
    const DocumentedBool given = keep != nullptr ? documentedBool(keep->value.front()) : DocumentedBool::isFalse;
    FUZZ_CHECK(given != DocumentedBool::invalid, "keep-update value accepted: " + describeText(keep->value.front()));
    FUZZ_CHECK(options.keepUpdate == (given == DocumentedBool::isTrue),
               "keep-update flag differs from its value, input " + input());
    return 0;
}
