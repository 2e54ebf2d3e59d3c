// The updater's command line: its option table, the library's parsing rules
// as the updater meets them, and the directories derived from its own path.
#include "updater_directories.h"
#include "updater_options.h"

#include "test_text.h"

#include <gtest/gtest.h>


namespace {

using Tokens = std::vector<std::string>;

UpdaterOptions parse(Tokens tokens)
{
    tokens.insert(tokens.begin(), "updater");
    return parseUpdaterOptions(tokens);
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
    EXPECT_EQ(updaterOptionTable().helpText(), kUpdaterHelp);
}

TEST(UpdaterOptions, NothingGivenIsNoError)
{
    UpdaterOptions options = parse({});
    EXPECT_TRUE(updaterOptionTable().parse({"updater"}).values.empty());
    EXPECT_TRUE(options.forwarded.empty());
    EXPECT_FALSE(options.keepUpdate);
}

TEST(UpdaterOptions, SwitchesAndValuesAreRecorded)
{
    UpdaterOptions options =
        parse({"--uhelp", "--uversion", "--uconsole", "--uwebInstall", "--uverbose", "--udir", "D",
               "--uapp=A", "--usnapshot", "S", "--ucaller", "C:\\App\\app.exe", "--uappDir", "C:\\App",
               "--ujrepath", "J"});
    for (bool given : {options.help, options.version, options.console, options.webInstall, options.verbose})
        EXPECT_TRUE(given);
    EXPECT_EQ(options.updateDirectory, "D");
    EXPECT_EQ(options.application, "A");
    EXPECT_EQ(options.snapshot, "S");
    EXPECT_EQ(options.caller, "C:\\App\\app.exe");
    EXPECT_EQ(options.applicationDirectory, "C:\\App");
    EXPECT_EQ(options.jrePath, "J");
    EXPECT_TRUE(options.forwarded.empty()) << "recognised options are never forwarded";
}

TEST(UpdaterOptions, KeepUpdateTakesTheLibrarysBooleanWords)
{
    EXPECT_FALSE(parse({}).keepUpdate);
    for (const char* word : {"1", "true", "yes", "on", "YES", "True"})
        EXPECT_TRUE(parse({std::string("--ukeep_update=") + word}).keepUpdate) << word;
    for (const char* word : {"0", "false", "no", "off", "OFF"})
        EXPECT_FALSE(parse({"--ukeep_update", word}).keepUpdate) << word;

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
    EXPECT_TRUE(parse({"--uverb"}).verbose);
    EXPECT_TRUE(parse({"--uh"}).help);
    EXPECT_TRUE(parse({"--uweb"}).webInstall);
    EXPECT_TRUE(parse({"--ukeep=1"}).keepUpdate);

    // A whole name wins even though it begins another row's name.
    UpdaterOptions app = parse({"--uapp", "x"});
    EXPECT_EQ(app.application, "x");
    EXPECT_FALSE(app.applicationDirectory);
    EXPECT_EQ(parse({"--uappD", "y"}).applicationDirectory, "y");

    EXPECT_EQ(errorFor({"--uap", "x"}), "option '--uap' is ambiguous and matches '--uapp', and '--uappDir'");
    EXPECT_NE(errorFor({"--uver"}).find("is ambiguous"), std::string::npos) << errorFor({"--uver"});
}

TEST(UpdaterOptions, UnknownTokensAreForwardedAsWrittenInOrder)
{
    UpdaterOptions options = parse({"--foo=1", "bar", "--uverbose", "-x", "--udir", "D", "baz"});
    EXPECT_EQ(options.forwarded, (Tokens{"--foo=1", "bar", "-x", "baz"}));
    EXPECT_EQ(options.updateDirectory, "D");

    // Names are case-sensitive: these are no updater options.
    UpdaterOptions foreign = parse({"--UHELP", "--uVerbose"});
    EXPECT_FALSE(foreign.help);
    EXPECT_FALSE(foreign.verbose);
    EXPECT_EQ(foreign.forwarded, (Tokens{"--UHELP", "--uVerbose"}));
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
