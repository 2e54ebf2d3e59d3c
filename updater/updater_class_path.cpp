// The jars of the updater's own virtual machine, found in its lib folder.
#include "updater_class_path.h"

#include "path_conventions.h"

#include <boost/algorithm/string/join.hpp>
#include <boost/algorithm/string/predicate.hpp>
#include <boost/filesystem/operations.hpp>

#include <vector>

namespace fs = boost::filesystem;

std::string buildUpdaterClassPath(const std::string& librariesDirectory)
{
    std::vector<std::string> entries;
    for (fs::recursive_directory_iterator it(librariesDirectory), end; it != end; ++it)
        entries.push_back(it->path().string());
    // Exactly ".jar": the file system's case rules do not apply.
    const auto isArchive = [](const std::string& entry) { return boost::algorithm::ends_with(entry, ".jar"); };
    return boost::algorithm::join_if(entries, kClassPathSeparator, isArchive);
}
