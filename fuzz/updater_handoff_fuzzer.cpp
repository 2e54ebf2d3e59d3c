// The launcher's hand-off to the updater: the package name (from the
// configuration file), the launcher's path and folder, and the console and
// installation requests. Written by updaterArguments and commandLineText,
// split as Windows splits the updater's command line and parsed by the
// updater's own option parser, they must come back exactly as sent.
//
// Input: byte 0 holds the console (bit 0) and installation (bit 1) requests;
// the rest is the package name, the launcher's path and its folder,
// separated by NULs (missing ones empty).
#include "updater_handoff.h"
#include "updater_options.h"

#include "fuzz_support.h"
#include "parse_command_line.h"
#include "windows_command_line.h"

#include <typeinfo>

namespace {

const char* const kUpdaterPath = "C:\\Apps\\X\\updater/updater.exe";

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const bool console = (data[0] & 1) != 0;
    const bool install = (data[0] & 2) != 0;
    std::vector<std::string> values = splitOnNul(data + 1, size - 1);
    values.resize(3);
    const std::string& packageName = values[0];
    const std::string& callerPath = values[1];
    const std::string& launcherDirectory = values[2];
    const std::string sent = describeTokens(values) + (console ? " console" : "") + (install ? " install" : "");

    const std::vector<CommandLineToken> arguments =
        updaterArguments(packageName, callerPath, launcherDirectory, console, install);
    const std::string line = std::string("\"") + kUpdaterPath + "\" " + commandLineText(arguments);
    bool doubledQuote = false;
    const std::vector<std::string> read = splitWindowsCommandLine(line, &doubledQuote);
    FUZZ_CHECK(!doubledQuote, "a doubled quote, read otherwise by CommandLineToArgvW: " + describeText(line));
    FUZZ_CHECK(read.size() == arguments.size() + 1, "split into other arguments: " + describeText(line));
    for (std::size_t i = 0; i < arguments.size(); ++i)
        FUZZ_CHECK(read[i + 1] == arguments[i].text, "argument " + std::to_string(i) + " changed: " + line);

    // On Linux the tokens reach the updater as they are: the same argv.
    ParsedCommandLine parsed;
    try {
        parsed = updaterOptionTable().parse(read);
    } catch (const std::exception& e) {
        fuzzFailure("the updater reads what the launcher wrote",
                    std::string(typeid(e).name()) + ": " + e.what() + ", sent " + sent);
    }
    const UpdaterOptions options = updaterOptionsFrom(parsed);
    FUZZ_CHECK(options.application == packageName, "package name changed, sent " + sent);
    FUZZ_CHECK(options.caller == callerPath, "caller changed, sent " + sent);
    FUZZ_CHECK(options.applicationDirectory == launcherDirectory, "application folder changed, sent " + sent);
    FUZZ_CHECK(options.verbose == console && options.console == console, "console request changed, sent " + sent);
    FUZZ_CHECK(options.webInstall == install, "installation request changed, sent " + sent);
    FUZZ_CHECK(parsed.values.size() == 3u + (console ? 2u : 0u) + (install ? 1u : 0u),
               "other options read, sent " + sent);
    FUZZ_CHECK(options.forwarded.empty(), "tokens forwarded to the runner, sent " + sent);
    return 0;
}
