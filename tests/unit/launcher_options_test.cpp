#include "launcher_options.h"

#include "test_text.h"

#include <gtest/gtest.h>

namespace po = boost::program_options;

namespace {

LauncherOptions parse(std::vector<std::string> tokens)
{
    tokens.insert(tokens.begin(), "launcher");
    po::options_description table("Allowed options", 80, 40);
    declareLauncherOptions(table);
    return parseLauncherOptions(tokens, table);
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
    EXPECT_EQ(passThroughArgumentsOf(options), (Tokens{"--foo", "bar", "baz"}));
    EXPECT_EQ(options.values.count("lverbose"), 1u);

    EXPECT_EQ(passThroughArgumentsOf(parse({"--x=1", "-y", "plain", "--lconsole"})),
              (Tokens{"--x=1", "-y", "plain"}));
    // "--" ends the options: what follows reaches Java even if it looks like
    // a launcher option.
    LauncherOptions ended = parse({"--lconsole", "--", "--lverbose", "x"});
    EXPECT_EQ(passThroughArgumentsOf(ended), (Tokens{"--lverbose", "x"}));
    EXPECT_EQ(ended.values.count("lverbose"), 0u);
    EXPECT_TRUE(passThroughArgumentsOf(parse({})).empty());
}

TEST(LauncherOptions, ValuedOptionsConsumeTheirValue)
{
    LauncherOptions options = parse({"--levent", "x", "--lcfgfile=my.json", "--ljrepath", "/opt/jre", "y"});
    EXPECT_EQ(options.values["levent"].as<std::string>(), "x");
    EXPECT_EQ(options.values["lcfgfile"].as<std::string>(), "my.json");
    EXPECT_EQ(options.values["ljrepath"].as<std::string>(), "/opt/jre");
    EXPECT_EQ(passThroughArgumentsOf(options), Tokens{"y"});
}

TEST(LauncherOptions, UnambiguousAbbreviationsSelectTheOption)
{
    EXPECT_EQ(parse({"--lverb"}).values.count("lverbose"), 1u);
    EXPECT_EQ(parse({"--lh"}).values.count("lhelp"), 1u);
    EXPECT_EQ(parse({"--lcfg", "a.json"}).values["lcfgfile"].as<std::string>(), "a.json");
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
    po::options_description table("Allowed options", 80, 40);
    declareLauncherOptions(table);
    std::ostringstream help;
    help << table;
    EXPECT_EQ(help.str(), kLauncherHelp);
}

} // namespace
