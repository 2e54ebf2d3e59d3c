#include "update_paths.h"

#include "path_conventions.h"

#include <boost/filesystem/operations.hpp>

#include <stdexcept>

namespace fs = boost::filesystem;

UpdateLocation updateLocationFor(const UpdaterOptions& options, const std::string& homeDirectory,
                                 const std::optional<std::string>& dataFolder)
{
    if (options.has("usnapshot"))
        return {std::string(), options.text("usnapshot")};

    UpdateLocation location;
    if (options.has("udir")) {
        location.directory = options.text("udir");
    } else if (options.has("uapp")) {
        // An empty folder would silently put the update data below the root.
        if (!dataFolder)
            throw std::runtime_error("Cannot determine the application data folder");
        location.directory = *dataFolder + "/" + options.text("uapp");
    } else {
        location.directory = homeDirectory + "/data/";
    }
    location.snapshot = location.directory + "/snapshot.json";
    return location;
}

std::string javaRuntimeDirectoryFor(const UpdaterOptions& options, const std::string& homeDirectory)
{
    if (options.has("ujrepath"))
        return options.text("ujrepath");
    const std::string beside = homeDirectory + "/jre";
    const std::string chosen = fs::exists(beside) ? beside : homeDirectory + "/../jre";
    return withPreferredSeparators(fs::canonical(chosen, fs::current_path()).string());
}
