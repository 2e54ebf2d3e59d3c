#include "launch_sequence.h"

#include "test_paths.h"

#include <gtest/gtest.h>

namespace fs = boost::filesystem;
namespace po = boost::program_options;

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

TEST(ClassPath, IsJoinedWithThePlatformSeparator)
{
    fs::path app = fs::canonical(test_paths::freshDirectory("class_path_join"));
    writeTextFile(app / "lib" / "app.jar", "");
    EXPECT_EQ(classPathText(app.string(), {}), "");
    EXPECT_EQ(classPathText(app.string(), {"D:/x/a.jar", "lib/b.jar"}), "D:/x/a.jar" + kSep + "lib/b.jar");
    EXPECT_EQ(classPathText(app.string(), {"./lib/app.jar", "z.jar"}),
              native(app / "lib" / "app.jar") + kSep + "z.jar");
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

    po::options_description table;
    declareLauncherOptions(table);
    const char* argv[] = {"launcher", "--lcfgfile", "rel/other.json"};
    LauncherOptions given = parseLauncherOptions(3, const_cast<char**>(argv), table);
    LauncherRun chosen{given, "/apps/x/tw_ent.exe", "/apps/x"};
    EXPECT_EQ(configFileFor(chosen), "rel/other.json");
}

} // namespace
