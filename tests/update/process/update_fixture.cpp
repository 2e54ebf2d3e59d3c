#include "update_fixture.h"

#include "app_layout.h"
#include "program_names.h"
#include "test_paths.h"
#include "test_text.h"

#include <gtest/gtest.h>

#include <sstream>

namespace fs = boost::filesystem;

namespace update_test {

namespace {

const std::vector<std::string> kQuickJvm{"-Xshare:auto", "-XX:TieredStopAtLevel=1"};

std::string java()
{
    return (test_paths::javaHome() / "bin" / "java").string();
}

RunResult runJava(std::vector<std::string> arguments)
{
    arguments.insert(arguments.begin(), kQuickJvm.begin(), kQuickJvm.end());
    RunOptions options;
    options.timeoutMs = 120000;
    return runProgram(java(), arguments, options);
}

void copyExecutable(const fs::path& from, const fs::path& to)
{
    fs::create_directories(to.parent_path());
    fs::copy_file(from, to, fs::copy_options::overwrite_existing);
    fs::permissions(to, fs::owner_all | fs::group_read | fs::group_exe | fs::others_read | fs::others_exe);
}

std::string joined(const std::vector<std::string>& parts)
{
    std::string out;
    for (const std::string& part : parts)
        out += (out.empty() ? "" : " ") + part;
    return out;
}

} // namespace

RunResult updateTool(const std::vector<std::string>& arguments)
{
    std::vector<std::string> all{"-jar", TEST_UPDATE_JAR};
    all.insert(all.end(), arguments.begin(), arguments.end());
    return runJava(all);
}

RunResult forgeRelease(const fs::path& privateKey, const fs::path& publicKey, const fs::path& manifest,
                       const fs::path& envelope)
{
    return runJava({"-cp", TEST_UPDATE_FORGE_CLASSES, "forge.ForgeRelease", privateKey.string(), publicKey.string(),
                    manifest.string(), envelope.string()});
}

KeyPair makeKeyPair(const fs::path& folder)
{
    KeyPair keys{folder / "private.key", folder / "public.key", ""};
    fs::create_directories(folder);
    fs::remove(keys.privateKey);
    fs::remove(keys.publicKey);
    RunResult made = updateTool({"keygen", "--private", keys.privateKey.string(), "--public", keys.publicKey.string()});
    if (made.exitCode != 0)
        throw std::runtime_error("keygen failed: " + describe(made));
    keys.publicLine = readLines(keys.publicKey).at(0);
    return keys;
}

Product::Product(const std::string& name, Transport transport)
    : folder_(test_paths::freshDirectory(name)), feed_(folder_ / "feed"), data_(folder_ / "data"),
      transport_(transport), keys_(makeKeyPair(folder_ / "keys"))
{
    fs::create_directories(feed_);
    fs::create_directories(data_);
    if (transport_ == Transport::https)
        certificates_ = std::make_unique<TestCertificates>(test_paths::workDirectory() / "update_certificates");
    server_ = std::make_unique<NginxServer>(folder_ / "nginx", feed_, certificates_.get());
}

std::string Product::updateJson(const std::string& feed) const
{
    return "{\n  \"feed\": " + quotedLiteral(feed) + ",\n  \"publicKeys\": [" + quotedLiteral(keys_.publicLine) +
           "],\n  \"packageName\": " + quotedLiteral(packageName) + ",\n  \"allowInsecureHttp\": false\n}\n";
}

fs::path Product::releaseFolder(const std::string& version, const Payload& payload, const std::string& updateJson) const
{
    const fs::path dir = folder_ / ("release-" + version);
    fs::remove_all(dir);
    copyExecutable(test_paths::launcherProgram(), dir / test_paths::launcherProgram().filename());
    copyExecutable(test_paths::updaterProgram(), dir / "updater" / kUpdaterProgramName);
    fs::create_directories(dir / "updater" / "lib");
    fs::create_directories(dir / "lib");
    fs::copy_file(TEST_UPDATE_JAR, dir / "updater" / "lib" / "tarnwick-update.jar");
    fs::copy_file(TEST_UPDATE_JAR, dir / "lib" / "tarnwick-update.jar");
    fs::copy_file(TEST_UPDATE_PROBE_JAR, dir / "lib" / "probe.jar");
    fs::copy_file(test_paths::toolsJar(), dir / "lib" / "tarnwick-tools.jar");
    writeTextFile(dir / "lib" / "version.txt", version + "\n");

    AppConfig config;
    config.packageName = packageName;
    config.mainClass = "probe.Main";
    config.invokeUpdater = true;
    config.classPath = {"./lib/probe.jar", "./lib/tarnwick-tools.jar", "./lib/tarnwick-update.jar"};
    config.vmOption = kQuickJvm;
    if (certificates_)
        for (const std::string& option : certificates_->jvmOptions())
            config.vmOption.push_back(option);
    writeTextFile(dir / "cfg" / (test_paths::launcherProgram().stem().string() + ".json"), config.json());
    writeTextFile(dir / "cfg" / "update.json", updateJson.empty() ? this->updateJson(feedUrl()) : updateJson);
    for (const auto& [path, content] : payload)
        writeTextFile(dir / path, content);
    return dir;
}

void Product::publish(const fs::path& release, const std::string& version, const std::vector<std::string>& more) const
{
    std::vector<std::string> arguments{"publish", "--key", keys_.privateKey.string(), "--app", release.string(),
                                       "--version", version, "--out", feed_.string()};
    arguments.insert(arguments.end(), more.begin(), more.end());
    RunResult published = updateTool(arguments);
    ASSERT_EQ(published.exitCode, 0) << describe(published);
}

Manifest Product::manifest(const std::string& version) const
{
    return readManifest(feed_ / "releases" / (version + ".json"));
}

fs::path Product::install(const fs::path& release, const std::string& name) const
{
    const fs::path appDir = folder_ / name;
    fs::remove_all(appDir);
    copyFolder(release, appDir);
    fs::create_directory_symlink(test_paths::javaHome(), appDir / "jre");
    return appDir;
}

RunOptions Product::userEnvironment(const std::vector<std::string>& extraJvmOptions,
                                    const std::vector<std::string>& extraEnvironment) const
{
    std::vector<std::string> jvm = kQuickJvm;
    if (certificates_)
        for (const std::string& option : certificates_->jvmOptions())
            jvm.push_back(option);
    jvm.insert(jvm.end(), extraJvmOptions.begin(), extraJvmOptions.end());
    RunOptions options;
    options.timeoutMs = 120000;
    options.environment = {{"XDG_DATA_HOME", data_.string()}, {"JAVA_TOOL_OPTIONS", joined(jvm)}};
    for (const std::string& entry : extraEnvironment) {
        size_t eq = entry.find('=');
        options.environment.push_back({entry.substr(0, eq), entry.substr(eq + 1)});
    }
    return options;
}

RunResult Product::startLauncher(const fs::path& appDir, const std::vector<std::string>& extraEnvironment,
                                 const std::vector<std::string>& extraJvmOptions) const
{
    return runProgram((appDir / test_paths::launcherProgram().filename()).string(), {},
                      userEnvironment(extraJvmOptions, extraEnvironment));
}

RunResult Product::runUpdater(const fs::path& appDir, const std::vector<std::string>& jvmOptions,
                              const std::vector<std::string>& extraEnvironment) const
{
    return runProgram((appDir / "updater" / kUpdaterProgramName).string(),
                      {"--uapp", packageName, "--uappDir", appDir.string()},
                      userEnvironment(jvmOptions, extraEnvironment));
}

std::string versionRun(const RunResult& result)
{
    const std::string mark = "[probe] version ";
    size_t at = result.out.rfind(mark);
    if (at == std::string::npos)
        return "";
    at += mark.size();
    return result.out.substr(at, result.out.find('\n', at) - at);
}

void copyFolder(const fs::path& from, const fs::path& to)
{
    fs::copy(from, to, fs::copy_options::recursive | fs::copy_options::copy_symlinks);
}

} // namespace update_test
