#include "app_layout.h"

#include "test_paths.h"
#include "test_text.h"

#include <sstream>

namespace fs = boost::filesystem;

std::string AppConfig::json() const
{
    std::ostringstream out;
    out << "{\n  \"packageName\": " << quotedLiteral(packageName) << ",\n  \"mainClass\": " << quotedLiteral(mainClass)
        << ",\n  \"mainMethod\": " << quotedLiteral(mainMethod) << ",\n  \"appNature\": " << quotedLiteral(appNature)
        << ",\n  \"invokeUpdater\": " << (invokeUpdater ? "true" : "false")
        << ",\n  \"showSplash\": " << (showSplash ? "true" : "false") << ",\n  \"classPath\": " << quotedList(classPath)
        << ",\n  \"vmOption\": " << quotedList(vmOption) << ",\n  \"programOption\": " << quotedList(programOption);
    if (classDataArchive)
        out << ",\n  \"classDataArchive\": " << (*classDataArchive ? "true" : "false");
    out << "\n}\n";
    return out.str();
}

AppLayout::AppLayout(const std::string& name) : root_(test_paths::freshDirectory(name))
{
    fs::copy_file(test_paths::launcherProgram(), launcher());
}

fs::path AppLayout::launcher() const
{
    return root_ / test_paths::launcherProgram().filename();
}

void AppLayout::writeConfig(const AppConfig& config) const
{
    writeConfigText(config.json());
}

void AppLayout::writeConfigText(const std::string& json) const
{
    writeTextFile(root_ / "cfg" / (launcher().stem().string() + ".json"), json);
}

void AppLayout::makeLib() const
{
    fs::create_directories(root_ / "lib");
}

fs::path standInServerDirectory(const fs::path& jre)
{
#ifdef _WIN32
    return jre / "bin" / "server";
#else
    return jre / "lib" / "server";
#endif
}

void installStandInRuntime(const fs::path& jre, const std::string& description)
{
    fs::path server = standInServerDirectory(jre);
    fs::create_directories(server);
    fs::copy_file(test_paths::standInRuntime(), server / test_paths::standInRuntime().filename(),
                  fs::copy_options::overwrite_existing);
#ifdef _WIN32
    // Only in <jre>\bin, as a JRE ships its C runtime.
    fs::copy_file(test_paths::standInDependency(), jre / "bin" / test_paths::standInDependency().filename(),
                  fs::copy_options::overwrite_existing);
#endif
    writeTextFile(server / "standin.txt", description);
    fs::remove(server / "trace.txt");
}

void AppLayout::installStandIn(const std::string& description) const
{
    installStandInRuntime(root_ / "jre", description);
}

fs::path AppLayout::standInDirectory() const
{
    return standInServerDirectory(root_ / "jre");
}

std::vector<std::string> AppLayout::trace() const
{
    return readLines(standInDirectory() / "trace.txt");
}

void AppLayout::linkRealJava() const
{
    fs::create_directory_symlink(test_paths::javaHome(), root_ / "jre");
}
