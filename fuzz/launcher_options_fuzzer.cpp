// The launcher's command line: any argument vector ends in the library's
// option error, or in options that account for every token, with every token
// that is no launcher option passed on to Java in order.
#include "launcher_options.h"

#include "fuzz_support.h"
#include "option_checks.h"
#include "parse_command_line.h"

#include <typeinfo>

namespace po = boost::program_options;

namespace {

const OptionTable kLauncherTable{
    {"lhelp", "lversion", "lsplash", "lforceInstall", "lnoUpdate", "lconsole", "lverbose"},
    {"lcfgfile", "ljrepath", "levent"},
    {},
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::vector<std::string> tokens = splitOnNul(data, size);
    ParsedCommandLine parsed;
    try {
        parsed = launcherOptionTable().parse(argumentVector("launcher", tokens));
    } catch (const po::error&) {
        return 0; // shown in the error box; the launcher ends with 574
    } catch (const std::exception& e) {
        fuzzFailure("only the options library's errors", std::string(typeid(e).name()) + ": " + e.what() + ", input " +
                                                            describeTokens(tokens));
    }

    const std::vector<std::string> expected = checkParse(tokens, parsed.entries, parsed.values, kLauncherTable);
    const std::vector<std::string> passed = launcherOptionsFrom(parsed).passThrough;
    FUZZ_CHECK(passed == expected, "passed on " + describeTokens(passed) + " instead of " + describeTokens(expected));
    return 0;
}
