// Where the updater looks and what its Java runner gets, from its own path,
// the per-user data folder and its command line: updaterDirectoriesFor,
// updateLocationFor and runnerArgumentsFor, put together as the update run
// does. The runner list holds every forwarded token in order, then the fixed
// entries with the values the options gave.
//
// Input: NUL-separated tokens: the updater's path, the data folder (byte 01
// first: the system gave none), then the updater's arguments.
#include "runner_arguments.h"
#include "update_paths.h"
#include "updater_directories.h"
#include "updater_options.h"

#include "fuzz_support.h"
#include "parse_command_line.h"

#include <stdexcept>
#include <typeinfo>

namespace po = boost::program_options;

namespace {

bool beginsWith(const std::string& text, const std::string& start)
{
    return text.compare(0, start.size(), start) == 0;
}

// Each of part's entries found in whole, in order.
bool isSubsequence(const std::vector<std::string>& part, const std::vector<std::string>& whole)
{
    std::size_t w = 0;
    for (const std::string& entry : part) {
        while (w < whole.size() && whole[w] != entry)
            ++w;
        if (w == whole.size())
            return false;
        ++w;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::string> tokens = splitOnNul(data, size);
    if (tokens.size() < 2)
        tokens.resize(2);
    const std::string executable = tokens[0];
    const std::optional<std::string> dataFolder =
        !tokens[1].empty() && tokens[1].front() == '\x01' ? std::nullopt : std::optional<std::string>(tokens[1]);
    const std::vector<std::string> commandLine(tokens.begin() + 2, tokens.end());
    const auto input = [&] { return describeTokens(tokens); }; // built only for a report

    UpdaterOptions options;
    try {
        options = parseUpdaterOptions(argumentVector(executable, commandLine));
    } catch (const po::error&) {
        return 0; // the updater_options target covers parsing
    }

    const UpdaterDirectories directories = updaterDirectoriesFor(executable, options);
    FUZZ_CHECK(beginsWith(executable, directories.home) && (executable.empty() || directories.home != executable),
               "home " + describeText(directories.home) + " is no parent, input " + input());
    FUZZ_CHECK(directories.libraries == directories.home + "/lib", "libraries folder, input " + input());
    if (options.applicationDirectory)
        FUZZ_CHECK(directories.application == *options.applicationDirectory, "application folder, input " + input());
    else
        FUZZ_CHECK(beginsWith(directories.home, directories.application) &&
                       (directories.home.empty() || directories.application != directories.home),
                   "application folder " + describeText(directories.application) + " is no parent, input " + input());

    UpdateLocation location;
    try {
        location = updateLocationFor(options, directories.home, dataFolder);
    } catch (const std::runtime_error& e) {
        FUZZ_CHECK(!options.snapshot && !options.updateDirectory && options.application && !dataFolder,
                   std::string("unexpected error ") + e.what() + ", input " + input());
        FUZZ_CHECK(std::string(e.what()) == "Cannot determine the application data folder",
                   std::string("error text ") + e.what());
        return 0;
    } catch (const std::exception& e) {
        fuzzFailure("no other error", std::string(typeid(e).name()) + ": " + e.what() + ", input " + input());
    }
    std::string directory;
    if (options.snapshot) {
        FUZZ_CHECK(location.directory.empty() && location.snapshot == *options.snapshot,
                   "--usnapshot not the snapshot, input " + input());
    } else {
        if (options.updateDirectory)
            directory = *options.updateDirectory;
        else if (options.application)
            directory = *dataFolder + "/" + *options.application;
        else
            directory = directories.home + "/data/";
        FUZZ_CHECK(location.directory == directory && location.snapshot == directory + "/snapshot.json",
                   "update folder " + describeText(location.directory) + ", snapshot " +
                       describeText(location.snapshot) + ", input " + input());
    }

    RunnerSettings settings;
    settings.forwarded = options.forwarded;
    settings.updateDirectory = location.directory;
    settings.applicationDirectory = directories.application;
    settings.keepUpdate = options.keepUpdate;
    settings.webInstall = options.webInstall;
    settings.application = options.application;
    const std::vector<std::string> runner = runnerArgumentsFor(settings);

    FUZZ_CHECK(isSubsequence(settings.forwarded, commandLine), "forwarded tokens not from the command line");
    std::vector<std::string> expected = settings.forwarded;
    expected.push_back("--updateDir=" + directory);
    expected.push_back("--appDir=" + directories.application);
    expected.push_back(std::string("--keepUpdate=") + (settings.keepUpdate ? "true" : "false"));
    expected.push_back(std::string("--webInstall=") + (settings.webInstall ? "true" : "false"));
    if (options.application)
        expected.push_back("--app=" + *options.application);
    FUZZ_CHECK(runner == expected,
               "runner arguments " + describeTokens(runner) + " instead of " + describeTokens(expected));
    return 0;
}
