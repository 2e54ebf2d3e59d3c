// The updater's command line: its option table, the library's parsing rules
// as the updater meets them, and the directories derived from its own path.
#include "updater_directories.h"
#include "updater_options.h"

#include "test_text.h"

#include <gtest/gtest.h>

#include <sstream>

namespace po = boost::program_options;

namespace {

using Tokens = std::vector<std::string>;

UpdaterOptions parse(Tokens tokens)
{
    tokens.insert(tokens.begin(), "updater");
    po::options_description table("Allowed options", 80, 40);
    declareUpdaterOptions(table);
    return parseUpdaterOptions(tokens, table);
}

std::string errorFor(Tokens tokens)
{
    try {
        parse(std::move(tokens));
    } catch (const std::exception& e) {
        return e.what();
    }
    return "(no error)";
}

TEST(UpdaterOptions, HelpTextIsTheLibrarysRenderingOfTheTable)
{
    po::options_description table("Allowed options", 80, 40);
    declareUpdaterOptions(table);
    std::ostringstream help;
    help << table;
    EXPECT_EQ(help.str(), kUpdaterHelp);
}

TEST(UpdaterOptions, NothingGivenIsNoError)
{
    UpdaterOptions options = parse({});
    EXPECT_TRUE(options.values.empty());
    EXPECT_TRUE(forwardedTokensOf(options).empty());
    EXPECT_FALSE(keepUpdateRequested(options));
}

TEST(UpdaterOptions, SwitchesAndValuesAreRecorded)
{
    UpdaterOptions options =
        parse({"--uhelp", "--uversion", "--uconsole", "--uwebInstall", "--uverbose", "--udir", "D",
               "--uapp=A", "--usnapshot", "S", "--ucaller", "C:\\App\\app.exe", "--uappDir", "C:\\App",
               "--ujrepath", "J"});
    for (const char* name : {"uhelp", "uversion", "uconsole", "uwebInstall", "uverbose"})
        EXPECT_TRUE(options.has(name)) << name;
    EXPECT_EQ(options.text("udir"), "D");
    EXPECT_EQ(options.text("uapp"), "A");
    EXPECT_EQ(options.text("usnapshot"), "S");
    EXPECT_EQ(options.text("ucaller"), "C:\\App\\app.exe");
    EXPECT_EQ(options.text("uappDir"), "C:\\App");
    EXPECT_EQ(options.text("ujrepath"), "J");
    EXPECT_TRUE(forwardedTokensOf(options).empty()) << "recognised options are never forwarded";
}

TEST(UpdaterOptions, KeepUpdateTakesTheLibrarysBooleanWords)
{
    EXPECT_FALSE(keepUpdateRequested(parse({})));
    for (const char* word : {"1", "true", "yes", "on", "YES", "True"})
        EXPECT_TRUE(keepUpdateRequested(parse({std::string("--ukeep_update=") + word}))) << word;
    for (const char* word : {"0", "false", "no", "off", "OFF"})
        EXPECT_FALSE(keepUpdateRequested(parse({"--ukeep_update", word}))) << word;

    EXPECT_EQ(errorFor({"--ukeep_update"}), "the required argument for option '--ukeep_update' is missing");
    EXPECT_EQ(errorFor({"--ukeep_update=maybe"}),
              "the argument ('maybe') for option '--ukeep_update' is invalid. Valid choices are 'on|off', "
              "'yes|no', '1|0' and 'true|false'");
    // The library alone would read an empty value as true.
    EXPECT_EQ(errorFor({"--ukeep_update", ""}),
              "the argument for option '--ukeep_update' is invalid. Valid choices are 'on|off', "
              "'yes|no', '1|0' and 'true|false'");
}

TEST(UpdaterOptions, LibraryErrorsAreRaised)
{
    EXPECT_EQ(errorFor({"--uapp", "a", "--uapp", "b"}), "option '--uapp' cannot be specified more than once");
    EXPECT_EQ(errorFor({"--uconsole=1"}), "option '--uconsole' does not take any arguments");
    EXPECT_EQ(errorFor({"--udir"}), "the required argument for option '--udir' is missing");
    EXPECT_EQ(errorFor({"--uverbose", "--uverbose"}), "option '--uverbose' cannot be specified more than once");
}

TEST(UpdaterOptions, AbbreviationsSelectOneRowOnly)
{
    EXPECT_TRUE(parse({"--uverb"}).has("uverbose"));
    EXPECT_TRUE(parse({"--uh"}).has("uhelp"));
    EXPECT_TRUE(parse({"--uweb"}).has("uwebInstall"));
    EXPECT_TRUE(keepUpdateRequested(parse({"--ukeep=1"})));

    // A whole name wins even though it begins another row's name.
    UpdaterOptions app = parse({"--uapp", "x"});
    EXPECT_EQ(app.text("uapp"), "x");
    EXPECT_FALSE(app.has("uappDir"));
    EXPECT_EQ(parse({"--uappD", "y"}).text("uappDir"), "y");

    EXPECT_EQ(errorFor({"--uap", "x"}), "option '--uap' is ambiguous and matches '--uapp', and '--uappDir'");
    EXPECT_NE(errorFor({"--uver"}).find("is ambiguous"), std::string::npos) << errorFor({"--uver"});
}

TEST(UpdaterOptions, UnknownTokensAreForwardedAsWrittenInOrder)
{
    UpdaterOptions options = parse({"--foo=1", "bar", "--uverbose", "-x", "--udir", "D", "baz"});
    EXPECT_EQ(forwardedTokensOf(options), (Tokens{"--foo=1", "bar", "-x", "baz"}));
    EXPECT_EQ(options.text("udir"), "D");

    // Names are case-sensitive: these are no updater options.
    UpdaterOptions foreign = parse({"--UHELP", "--uVerbose"});
    EXPECT_FALSE(foreign.has("uhelp"));
    EXPECT_FALSE(foreign.has("uverbose"));
    EXPECT_EQ(forwardedTokensOf(foreign), (Tokens{"--UHELP", "--uVerbose"}));
}

TEST(UpdaterDirectories, DeriveFromTheProgramsOwnPath)
{
#ifdef _WIN32
    UpdaterDirectories directories = updaterDirectoriesFor("C:\\App\\updater\\updater.exe", parse({}));
    EXPECT_EQ(directories.home, "C:\\App\\updater");
    EXPECT_EQ(directories.libraries, "C:\\App\\updater/lib");
    EXPECT_EQ(directories.application, "C:\\App");
#else
    UpdaterDirectories directories = updaterDirectoriesFor("/opt/App/updater/updater", parse({}));
    EXPECT_EQ(directories.home, "/opt/App/updater");
    EXPECT_EQ(directories.libraries, "/opt/App/updater/lib");
    EXPECT_EQ(directories.application, "/opt/App");
#endif
}

TEST(UpdaterDirectories, TheApplicationDirectoryOptionIsTakenAsWritten)
{
    UpdaterDirectories directories =
        updaterDirectoriesFor("/opt/App/updater/updater", parse({"--uappDir", "D:/Other Place/"}));
    EXPECT_EQ(directories.application, "D:/Other Place/");
    EXPECT_EQ(directories.home, "/opt/App/updater");

    UpdaterDirectories empty = updaterDirectoriesFor("/opt/App/updater/updater", parse({"--uappDir", ""}));
    EXPECT_EQ(empty.application, "");
}

} // namespace
