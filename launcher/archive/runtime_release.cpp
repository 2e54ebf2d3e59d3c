// Reads the runtime's release file without loading the runtime.
#include "runtime_release.h"

#include <fstream>
#include <iterator>
#include <sstream>

namespace {

std::string readWhole(const std::string& path)
{
    std::ifstream file(path.c_str(), std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
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
        const std::string rest = version.substr(2);
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
    return parseRuntimeRelease(readWhole(jreDirectory + "/release"));
}
