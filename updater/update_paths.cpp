// Where the update data and the Java runtime are.
#include "update_paths.h"

#include "path_conventions.h"

#include <boost/filesystem/operations.hpp>

#include <stdexcept>

namespace fs = boost::filesystem;

UpdateLocation updateLocationFor(const UpdaterOptions& options, const std::string& homeDirectory,
                                 const std::optional<std::string>& dataFolder)
{
    if (options.snapshot)
        return {std::string(), *options.snapshot};

    UpdateLocation location;
    if (options.updateDirectory) {
        location.directory = *options.updateDirectory;
    } else if (options.application) {
        // An empty folder would silently put the update data below the root.
        if (!dataFolder)
            throw std::runtime_error("Cannot determine the application data folder");
        location.directory = *dataFolder + "/" + *options.application;
    } else {
        location.directory = homeDirectory + "/data/";
    }
    location.snapshot = location.directory + "/snapshot.json";
    return location;
}

std::string javaRuntimeDirectoryFor(const UpdaterOptions& options, const std::string& homeDirectory)
{
    if (options.jrePath)
        return *options.jrePath;
    const std::string beside = homeDirectory + "/jre";
    const std::string chosen = fs::exists(beside) ? beside : homeDirectory + "/../jre";
    return withPreferredSeparators(fs::canonical(chosen, fs::current_path()).string());
}
