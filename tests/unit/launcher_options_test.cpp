#include "launcher_options.h"

#include "test_text.h"

#include <gtest/gtest.h>

namespace {

LauncherOptions parse(std::vector<std::string> tokens)
{
    tokens.insert(tokens.begin(), "launcher");
    return parseLauncherOptions(tokens);
}

std::string errorFor(std::vector<std::string> tokens)
{
    try {
        parse(std::move(tokens));
    } catch (const std::exception& e) {
        return e.what();
    }
    return "(no error)";
}

using Tokens = std::vector<std::string>;

TEST(LauncherOptions, UnknownTokensPassThroughInOrder)
{
    LauncherOptions options = parse({"--foo", "bar", "--lverbose", "baz"});
    EXPECT_EQ(options.passThrough, (Tokens{"--foo", "bar", "baz"}));
    EXPECT_TRUE(options.verbose);

    EXPECT_EQ(parse({"--x=1", "-y", "plain", "--lconsole"}).passThrough,
              (Tokens{"--x=1", "-y", "plain"}));
    // "--" ends the options: what follows reaches Java even if it looks like
    // a launcher option.
    LauncherOptions ended = parse({"--lconsole", "--", "--lverbose", "x"});
    EXPECT_EQ(ended.passThrough, (Tokens{"--lverbose", "x"}));
    EXPECT_FALSE(ended.verbose);
    EXPECT_TRUE(parse({}).passThrough.empty());
}

TEST(LauncherOptions, ValuedOptionsConsumeTheirValue)
{
    LauncherOptions options = parse({"--levent", "x", "--lcfgfile=my.json", "--ljrepath", "/opt/jre", "y"});
    EXPECT_EQ(options.event, "x");
    EXPECT_EQ(options.configFile, "my.json");
    EXPECT_EQ(options.jrePath, "/opt/jre");
    EXPECT_EQ(options.passThrough, Tokens{"y"});
}

TEST(LauncherOptions, UnambiguousAbbreviationsSelectTheOption)
{
    EXPECT_TRUE(parse({"--lverb"}).verbose);
    EXPECT_TRUE(parse({"--lh"}).help);
    EXPECT_EQ(parse({"--lcfg", "a.json"}).configFile, "a.json");
}

TEST(LauncherOptions, LibraryErrorsAreRaised)
{
    EXPECT_EQ(errorFor({"--lcfgfile"}), "the required argument for option '--lcfgfile' is missing");
    EXPECT_EQ(errorFor({"--lhelp=yes"}), "option '--lhelp' does not take any arguments");
    EXPECT_EQ(errorFor({"--lcfgfile", "a", "--lcfgfile", "b"}),
              "option '--lcfgfile' cannot be specified more than once");
    EXPECT_NE(errorFor({"--l"}).find("is ambiguous"), std::string::npos) << errorFor({"--l"});
}

TEST(LauncherOptions, HelpTextIsTheLibrarysRenderingOfTheTable)
{
    EXPECT_EQ(launcherOptionTable().helpText(), kLauncherHelp);
}

} // namespace
