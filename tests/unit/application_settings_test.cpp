#include "application_settings.h"

#include "app_layout.h"
#include "test_paths.h"

#include <boost/property_tree/exceptions.hpp>
#include <boost/property_tree/json_parser/error.hpp>

#include <gtest/gtest.h>

namespace fs = boost::filesystem;
namespace pt = boost::property_tree;

namespace {

class ApplicationSettingsTest : public ::testing::Test {
protected:
    fs::path dir = test_paths::freshDirectory("application_settings");

    std::string write(const std::string& json)
    {
        fs::path file = dir / "app.json";
        writeTextFile(file, json);
        return file.string();
    }

    // The text of the error that reading the given file raises.
    std::string errorFor(const std::string& json)
    {
        ApplicationSettings settings;
        try {
            readApplicationSettings(write(json), settings);
        } catch (const std::exception& e) {
            return e.what();
        }
        return "(no error)";
    }

    // A complete file with one member's JSON value replaced.
    static std::string withMember(const std::string& key, const std::string& value)
    {
        const char* keys[] = {"packageName", "mainClass", "mainMethod", "appNature", "invokeUpdater",
                              "showSplash", "classPath", "vmOption", "programOption"};
        const char* defaults[] = {"\"p\"", "\"c\"", "\"m\"", "\"n\"", "false", "false", "[]", "[]", "[]"};
        std::string json = "{";
        for (int i = 0; i < 9; ++i) {
            json += i ? ", " : "";
            json += std::string("\"") + keys[i] + "\": " + (key == keys[i] ? value : defaults[i]);
        }
        return json + "}";
    }

    ApplicationSettings read(const std::string& json)
    {
        ApplicationSettings settings;
        readApplicationSettings(write(json), settings);
        return settings;
    }
};

TEST_F(ApplicationSettingsTest, ReadsTheDocumentedExample)
{
    AppConfig config;
    config.invokeUpdater = true;
    config.showSplash = true;
    config.classPath = {"./lib/sample.jar", "./lib/support.jar"};
    config.vmOption = {"-Xmx512m"};
    ApplicationSettings settings = read(config.json());
    EXPECT_EQ(settings.packageName, "sampleapp");
    EXPECT_EQ(settings.mainClass, "sample.app.Main");
    EXPECT_EQ(settings.mainMethod, "run");
    EXPECT_EQ(settings.appNature, "desktop");
    EXPECT_TRUE(settings.invokeUpdater);
    EXPECT_TRUE(settings.showSplash);
    EXPECT_EQ(settings.classPath, (std::vector<std::string>{"./lib/sample.jar", "./lib/support.jar"}));
    EXPECT_EQ(settings.vmOption, (std::vector<std::string>{"-Xmx512m"}));
    EXPECT_TRUE(settings.programOption.empty());
}

TEST_F(ApplicationSettingsTest, FileProblemsGiveTheParserText)
{
    const std::string missing = (dir / "none.json").string();
    ApplicationSettings settings;
    try {
        readApplicationSettings(missing, settings);
        FAIL() << "no error";
    } catch (const pt::json_parser::json_parser_error& e) {
        EXPECT_EQ(std::string(e.what()), missing + ": cannot open file");
    }
    const std::string file = (dir / "app.json").string();
    EXPECT_EQ(errorFor(""), file + "(1): expected value");
    EXPECT_EQ(errorFor("{} x"), file + "(1): garbage after data");
    EXPECT_EQ(errorFor("{\"a\": 1\n\"b\": 2}"), file + "(2): expected '}' or ','");
    EXPECT_EQ(errorFor("{\"a\": \"open"), file + "(1): unterminated string");
    EXPECT_EQ(errorFor("{\"a\": \"\xff\"}"), file + "(1): invalid code sequence");

    // A folder opens but cannot be read: it is named like a missing file.
    const std::string folder = (dir / "folder.json").string();
    fs::create_directories(folder);
    try {
        readApplicationSettings(folder, settings);
        FAIL() << "no error";
    } catch (const pt::json_parser::json_parser_error& e) {
        EXPECT_EQ(std::string(e.what()), folder + ": cannot open file");
    }
}

// The parser recurses per level; ten thousand brackets (20 KB) would
// overflow the stack and end the process without a word.
TEST_F(ApplicationSettingsTest, DeepNestingIsRefusedBeforeParsing)
{
    const std::string file = (dir / "app.json").string();
    EXPECT_EQ(errorFor(std::string(100000, '[')), file + "(1): nesting deeper than 64 levels");
    EXPECT_EQ(errorFor("{\n\"a\": " + std::string(10000, '{')), file + "(2): nesting deeper than 64 levels");
    // Brackets inside strings are text, and 64 levels are still read.
    const std::string deep = std::string(63, '[') + std::string(63, ']');
    EXPECT_EQ(read(withMember("appNature", "\"" + std::string(1000, '[') + "\\\"\"")).appNature,
              std::string(1000, '[') + "\"");
    EXPECT_EQ(read(withMember("programOption", deep)).programOption, std::vector<std::string>{""});
}

// Each text must reach its user whole and as the characters it spells: a
// \u0000 escape would cut a class name short in a C string, and overlong
// forms, encoded surrogates and code points past U+10FFFF are not UTF-8.
TEST_F(ApplicationSettingsTest, TextsMustBeWholeAndWellFormed)
{
    const std::string file = (dir / "app.json").string();
    EXPECT_EQ(errorFor(withMember("mainClass", "\"sample\\u0000.evil.Main\"")),
              "The value of mainClass holds the character U+0000");
    EXPECT_EQ(errorFor(withMember("classPath", "[\"a.jar\", \"b\\u0000.jar\"]")),
              "The value of classPath holds the character U+0000");
    for (const char* bytes : {"\xc0\xaf", "\xe0\x80\xaf", "\xed\xa0\x80\xed\xb0\x80", "\xf4\x90\x80\x80", "\xf8\x88\x80\x80\x80"})
        EXPECT_EQ(errorFor("{\n\"mainClass\": \"a" + std::string(bytes) + "\"}"), file + "(2): invalid code sequence")
            << bytes;
    // A bad escape is named as such, also before a character outside ASCII.
    EXPECT_EQ(errorFor("{\n\"mainClass\": \"\\\xc3\xa9\"}"), file + "(2): invalid escape sequence");
    // Well-formed text outside ASCII, escaped or not, stays as it is.
    EXPECT_EQ(read(withMember("mainMethod", "\"\xc3\xa9\xe4\xb8\xad\xf0\x9f\x98\x80\\u00e9\"")).mainMethod,
              "\xc3\xa9\xe4\xb8\xad\xf0\x9f\x98\x80\xc3\xa9");
}

// classDataArchive may be left out (files written before it keep working);
// given, it is a switch like the others, read after the nine keys.
TEST_F(ApplicationSettingsTest, TheArchiveKeyIsOptional)
{
    const std::string complete = withMember("appNature", "\"n\"");
    auto with = [&](const std::string& value) {
        return complete.substr(0, complete.size() - 1) + ", \"classDataArchive\": " + value + "}";
    };
    EXPECT_FALSE(read(complete).classDataArchive);
    EXPECT_TRUE(read(with("true")).classDataArchive);
    EXPECT_FALSE(read(with("\"0\"")).classDataArchive);
    EXPECT_EQ(errorFor(with("\"maybe\"")), "conversion of data to type \"bool\" failed");
    // Read last: a missing required key is named first.
    EXPECT_EQ(errorFor("{\"classDataArchive\": 2}"), "No such node (packageName)");
}

TEST_F(ApplicationSettingsTest, MissingKeysAreReportedInReadingOrder)
{
    EXPECT_EQ(errorFor("{\"packageName\": \"p\", \"mainMethod\": \"m\"}"), "No such node (mainClass)");
    EXPECT_EQ(errorFor("[1, 2]"), "No such node (packageName)");
    EXPECT_EQ(errorFor("\"text\""), "No such node (packageName)");
    EXPECT_EQ(errorFor("{}"), "No such node (packageName)");
    std::string noMainClass = withMember("mainClass", "1");
    noMainClass.replace(noMainClass.find("\"mainClass\""), 11, "\"MainClass\"");
    EXPECT_EQ(errorFor(noMainClass), "No such node (mainClass)");

    // Each key missing alone is named; the lists come last.
    for (const char* key : {"packageName", "mainClass", "mainMethod", "appNature", "invokeUpdater", "showSplash",
                            "classPath", "vmOption", "programOption"}) {
        std::string json = withMember(key, "0");
        json.replace(json.find(std::string("\"") + key + "\""), std::string(key).size() + 2, "\"other\"");
        EXPECT_EQ(errorFor(json), std::string("No such node (") + key + ")") << key;
    }
    std::string noUpdaterNoLists = "{\"packageName\": \"p\", \"mainClass\": \"c\", \"mainMethod\": \"m\", "
                                   "\"appNature\": \"n\", \"showSplash\": true}";
    EXPECT_EQ(errorFor(noUpdaterNoLists), "No such node (invokeUpdater)");
}

TEST_F(ApplicationSettingsTest, SwitchesTakeTheBoolTranslatorsForms)
{
    const std::pair<const char*, bool> accepted[] = {
        {"true", true}, {"false", false}, {"\"true\"", true}, {"\"false\"", false},
        {"1", true},    {"0", false},     {"\" 1 \"", true},  {"\"\\ttrue \"", true},
        {"\"+1\"", true}, {"\"001\"", true}, {"\"-0\"", false},
    };
    for (const auto& [value, expected] : accepted) {
        EXPECT_EQ(read(withMember("invokeUpdater", value)).invokeUpdater, expected) << value;
        EXPECT_EQ(read(withMember("showSplash", value)).showSplash, expected) << value;
    }
    const std::string failure = "conversion of data to type \"bool\" failed";
    // A number followed by a word is neither, although the library's stream
    // would read the word after the number.
    for (const char* value : {"\"True\"", "\"yes\"", "2", "1.0", "null", "\"\"", "\"true x\"", "[]", "\"2true\"",
                              "\"+true\"", "\"10false\"", "\"-1\"", "\"1 1\""}) {
        EXPECT_EQ(errorFor(withMember("invokeUpdater", value)), failure) << value;
        EXPECT_EQ(errorFor(withMember("showSplash", value)), failure) << value;
    }
    EXPECT_THROW(read(withMember("showSplash", "\"maybe\"")), pt::ptree_bad_data);
}

TEST_F(ApplicationSettingsTest, TextKeysKeepWhatTheTreeHolds)
{
    EXPECT_EQ(read(withMember("mainMethod", "5")).mainMethod, "5");
    EXPECT_EQ(read(withMember("mainMethod", "5.50e1")).mainMethod, "5.50e1");
    EXPECT_EQ(read(withMember("mainMethod", "{\"a\": \"b\"}")).mainMethod, "");
    EXPECT_EQ(read(withMember("mainMethod", "[\"a\"]")).mainMethod, "");
    EXPECT_EQ(read(withMember("mainMethod", "null")).mainMethod, "null");
    EXPECT_EQ(read(withMember("appNature", "\"caf\\u00e9 \\\"x\\\"\"")).appNature, "caf\xc3\xa9 \"x\"");
}

TEST_F(ApplicationSettingsTest, ListsTakeTheValuesOfTheirChildren)
{
    EXPECT_TRUE(read(withMember("classPath", "\"./lib/a.jar\"")).classPath.empty());
    EXPECT_EQ(read(withMember("vmOption", "{\"z\": \"-Xmx1g\", \"a\": \"-Da=b\"}")).vmOption,
              (std::vector<std::string>{"-Xmx1g", "-Da=b"}));
    EXPECT_EQ(read(withMember("programOption", "[[1], {\"k\": \"v\"}, 42, \"x\", true]")).programOption,
              (std::vector<std::string>{"", "", "42", "x", "true"}));
}

TEST_F(ApplicationSettingsTest, OtherMembersAreIgnoredAndTheFirstOccurrenceWins)
{
    std::string json = withMember("mainClass", "\"first.Main\"");
    json.insert(1, "\"comment\": {\"mainClass\": \"nested\"}, ");
    json.insert(json.size() - 1, ", \"mainClass\": \"second.Main\", \"extra\": [1]");
    EXPECT_EQ(read(json).mainClass, "first.Main");
}

TEST_F(ApplicationSettingsTest, ReadingReplacesListsAlreadyHeld)
{
    ApplicationSettings settings;
    settings.classPath = {"old.jar"};
    settings.vmOption = {"-Dold"};
    settings.programOption = {"old"};
    readApplicationSettings(write(withMember("classPath", "[\"new.jar\"]")), settings);
    EXPECT_EQ(settings.classPath, std::vector<std::string>{"new.jar"});
    EXPECT_TRUE(settings.vmOption.empty());
    EXPECT_TRUE(settings.programOption.empty());
}

} // namespace
