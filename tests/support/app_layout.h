// An application folder as users ship it: the launcher, cfg/<stem>.json, lib/
// and a Java runtime (the stand-in, or on Linux the machine's JDK).
#pragma once

#include <boost/filesystem.hpp>

#include <optional>
#include <string>
#include <vector>

struct AppConfig {
    std::string packageName = "sampleapp";
    std::string mainClass = "sample.app.Main";
    std::string mainMethod = "run";
    std::string appNature = "desktop";
    bool invokeUpdater = false;
    bool showSplash = false;
    std::vector<std::string> classPath{"."};
    std::vector<std::string> vmOption;
    std::vector<std::string> programOption;
    std::optional<bool> classDataArchive; // the optional key, written only when set

    std::string json() const;
};

class AppLayout {
public:
    // Creates (anew) a folder named after the test below the work directory.
    explicit AppLayout(const std::string& name);

    const boost::filesystem::path& root() const { return root_; }
    boost::filesystem::path launcher() const;

    void writeConfig(const AppConfig& config) const;
    void writeConfigText(const std::string& json) const;
    void makeLib() const;

    // jre/ with the stand-in runtime and its description.
    void installStandIn(const std::string& description) const;
    boost::filesystem::path standInDirectory() const;
    std::vector<std::string> trace() const;

    // jre -> the machine's JDK (Linux).
    void linkRealJava() const;

private:
    boost::filesystem::path root_;
};

// The stand-in's runtime library folder below a JRE folder.
boost::filesystem::path standInServerDirectory(const boost::filesystem::path& jre);
// Copies the stand-in runtime (and what it imports) into a JRE folder.
void installStandInRuntime(const boost::filesystem::path& jre, const std::string& description);
