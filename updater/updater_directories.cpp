// The updater's folders, from its own path and --uappDir.
#include "updater_directories.h"

#include <boost/filesystem/path.hpp>

namespace fs = boost::filesystem;

UpdaterDirectories updaterDirectoriesFor(const std::string& executablePath, const UpdaterOptions& options)
{
    UpdaterDirectories directories;
    directories.home = fs::path(executablePath).parent_path().string();
    directories.libraries = directories.home + "/lib";
    directories.application =
        options.applicationDirectory.value_or(fs::path(directories.home).parent_path().string());
    return directories;
}
