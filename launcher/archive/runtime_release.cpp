// Reads the runtime's release file without loading the runtime.
#include "runtime_release.h"

#include "file_text.h"

#include <boost/filesystem.hpp>

#include <sstream>

namespace fs = boost::filesystem;

namespace {

// Only a regular file: a pipe at its name would hold the start up for good.
std::string readRelease(const std::string& path)
{
    boost::system::error_code ec;
    if (!fs::is_regular_file(path, ec))
        return {};
    return readWholeFile(path).value_or(std::string());
}

std::string releaseValue(const std::string& text, const std::string& key)
{
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind(key + "=", 0) != 0)
            continue;
        std::string value = line.substr(key.size() + 1);
        while (!value.empty() && (value.back() == '\r' || value.back() == ' '))
            value.pop_back();
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        return value;
    }
    return {};
}

} // namespace

RuntimeRelease parseRuntimeRelease(const std::string& text)
{
    RuntimeRelease release;
    release.text = text;
    const std::string version = releaseValue(release.text, "JAVA_VERSION");
    std::string first = version.substr(0, version.find_first_not_of("0123456789"));
    if (first == "1") { // 1.8.0_x
        // A bare "1" has nothing after it.
        const std::string rest = version.size() > 2 ? version.substr(2) : std::string();
        first = rest.substr(0, rest.find_first_not_of("0123456789"));
    }
    release.feature = first.empty() || first.size() > 4 ? 0 : std::stoi(first);
    release.modulesKnown = release.text.find("\nMODULES=") != std::string::npos ||
                           release.text.rfind("MODULES=", 0) == 0;
    release.modules = " " + releaseValue(release.text, "MODULES") + " ";
    return release;
}

RuntimeRelease readRuntimeRelease(const std::string& jreDirectory)
{
    return parseRuntimeRelease(readRelease(jreDirectory + "/release"));
}
