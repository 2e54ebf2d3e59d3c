#include "class_path_resolver.h"
#include "launch_sequence.h"

#include "test_paths.h"

#include <gtest/gtest.h>

namespace fs = boost::filesystem;

namespace {

#ifdef _WIN32
const std::string kSep = ";";
#else
const std::string kSep = ":";
#endif

std::string native(const fs::path& path)
{
    fs::path copy = path;
    return copy.make_preferred().string();
}

TEST(ClassPath, EntriesStartingWithADotAreResolvedBelowTheApplication)
{
    fs::path app = fs::canonical(test_paths::freshDirectory("class_path"));
    writeTextFile(app / "lib" / "app.jar", "");
    const std::string dir = app.string();

    EXPECT_EQ(resolveClassPathEntry(dir, "./lib/app.jar"), native(app / "lib" / "app.jar"));
    EXPECT_EQ(resolveClassPathEntry(dir, "./lib/../lib/app.jar"), native(app / "lib" / "app.jar"));
    EXPECT_EQ(resolveClassPathEntry(dir, "."), native(app));
    EXPECT_EQ(resolveClassPathEntry(dir, "/x/a.jar"), "/x/a.jar");
    EXPECT_EQ(resolveClassPathEntry(dir, "D:/x/a.jar"), "D:/x/a.jar");
    EXPECT_EQ(resolveClassPathEntry(dir, "lib/b.jar"), "lib/b.jar");
    EXPECT_EQ(resolveClassPathEntry(dir, ""), "");
    EXPECT_THROW(resolveClassPathEntry(dir, "./lib/*"), fs::filesystem_error);
    EXPECT_THROW(resolveClassPathEntry(dir, "./lib/missing.jar"), fs::filesystem_error);
}

// Entries are resolved without walking every component each time; the
// result must be canonical's own, text and failure alike.
TEST(ClassPath, ResolvingGivesWhatCanonicalGives)
{
    fs::path app = fs::canonical(test_paths::freshDirectory("class_path_resolve"));
    writeTextFile(app / "lib" / "app.jar", "");
    writeTextFile(app / "real" / "deep" / "b.jar", "");
    fs::create_directories(app / "classes");
#ifndef _WIN32
    fs::create_directory_symlink(app / "real", app / "linked");
    fs::create_symlink(app / "lib" / "app.jar", app / "lib" / "alias.jar");
    fs::create_symlink(app / "absent.jar", app / "lib" / "dangling.jar");
#endif
    const std::string dir = app.string();
    const char* entries[] = {".", "./", "./lib/app.jar", "./lib/../lib/app.jar", "./classes", "./classes/",
                             "./real/deep/b.jar", "./real/deep/../deep/b.jar", "./lib/.", "./lib/..",
#ifndef _WIN32
                             "./linked/deep/b.jar", "./linked/deep/../../lib/app.jar", "./lib/alias.jar",
                             "./lib/dangling.jar",
#endif
                             "./lib/missing.jar", "./nowhere/x.jar", "./lib/app.jar/x"};
    // Once with a fresh resolver per entry, once with one that has been asked
    // about so many names in lib that it answers from the folder's listing.
    ClassPathResolver shared(dir);
    for (int i = 0; i < 40; ++i) {
        const std::string name = "/lib/f" + std::to_string(i) + ".jar";
        writeTextFile(app / name, "");
        ASSERT_EQ(shared.resolve("." + name), native(app / name));
    }
    for (bool sharing : {false, true}) {
        for (const char* entry : entries) {
            std::string expected, got;
            try {
                expected = native(fs::canonical(fs::path(dir + std::string(entry).substr(1)), fs::current_path()));
            } catch (const fs::filesystem_error& e) {
                expected = std::string("error: ") + e.what();
            }
            try {
                got = sharing ? shared.resolve(entry) : resolveClassPathEntry(dir, entry);
            } catch (const fs::filesystem_error& e) {
                got = std::string("error: ") + e.what();
            }
            EXPECT_EQ(got, expected) << entry << (sharing ? " (from the listing)" : "");
        }
    }
}

TEST(ClassPath, IsJoinedWithThePlatformSeparator)
{
    fs::path app = fs::canonical(test_paths::freshDirectory("class_path_join"));
    writeTextFile(app / "lib" / "app.jar", "");
    EXPECT_EQ(classPathText(resolvedClassPath(app.string(), {"D:/x/a.jar", "lib/b.jar"})),
              "D:/x/a.jar" + kSep + "lib/b.jar");
    EXPECT_EQ(classPathText(resolvedClassPath(app.string(), {"./lib/app.jar", "z.jar"})),
              native(app / "lib" / "app.jar") + kSep + "z.jar");
    // One entry may still name several elements.
    EXPECT_EQ(classPathText(resolvedClassPath(app.string(), {"a.jar" + kSep + "b.jar"})),
              "a.jar" + kSep + "b.jar");
}

// Java reads an empty element as the current folder, where anyone could put
// classes: a class path that would hold one is refused.
TEST(ClassPath, AnEmptyElementIsRefused)
{
    fs::path app = fs::canonical(test_paths::freshDirectory("class_path_empty"));
    const std::string dir = app.string();
    const std::string where = "), which Java reads as the current folder";
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"a.jar", ""}, "(classPath entry 2" + where},
        {{"", "a.jar"}, "(classPath entry 1" + where},
        {{"a.jar" + kSep}, "(classPath entry 1" + where},
        {{"a.jar", kSep + "b.jar"}, "(classPath entry 2" + where},
        {{"a.jar" + kSep + kSep + "b.jar"}, "(classPath entry 1" + where},
    };
    for (const auto& [entries, text] : cases) {
        try {
            resolvedClassPath(dir, entries);
            ADD_FAILURE() << "accepted " << entries.size() << " entries ending in " << entries.back();
        } catch (const std::runtime_error& e) {
            EXPECT_EQ(e.what(), "The class path would hold an empty element " + text);
        }
    }
}

TEST(JvmOptions, ClassPathComesFirstThenTheConfiguredOptions)
{
    ApplicationSettings settings{};
    EXPECT_EQ(jvmOptionsFor("", settings), std::vector<std::string>{"-Djava.class.path="});
    settings.vmOption = {"-Xmx512m", "-Da=b"};
    EXPECT_EQ(jvmOptionsFor("x.jar", settings),
              (std::vector<std::string>{"-Djava.class.path=x.jar", "-Xmx512m", "-Da=b"}));
}

TEST(ConfigFile, DefaultsToTheLauncherStemBelowCfg)
{
    LauncherOptions options;
    LauncherRun run{options, "/apps/x/tw_ent.exe", "/apps/x"};
    EXPECT_EQ(configFileFor(run), "/apps/x/cfg/tw_ent.json");
    LauncherRun plain{options, "/apps/x/my.launcher.bin", "/apps/x"};
    EXPECT_EQ(configFileFor(plain), "/apps/x/cfg/my.launcher.json");

    LauncherOptions given = parseLauncherOptions({"launcher", "--lcfgfile", "rel/other.json"});
    LauncherRun chosen{given, "/apps/x/tw_ent.exe", "/apps/x"};
    EXPECT_EQ(configFileFor(chosen), "rel/other.json");
}

} // namespace
