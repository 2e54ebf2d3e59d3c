// The process helpers both platforms share: the program's location when the
// system cannot say it.
#include "process.h"

#include "process_internal.h"

#include <boost/filesystem.hpp>

#include <stdexcept>

namespace fs = boost::filesystem;

std::string canonicalFallbackLocation(const char* fallbackName)
{
    if (fallbackName == nullptr || *fallbackName == '\0')
        return {};
    // A bare name was found through the search path, not in the current
    // folder: a file of that name there is not the program.
    const fs::path name(fallbackName);
    if (!name.has_parent_path())
        return {};
    boost::system::error_code ec;
    const fs::path base = fs::current_path(ec);
    if (ec && name.is_relative())
        return {};
    const fs::path resolved = fs::canonical(name, base, ec);
    if (!ec)
        return fs::path(resolved).make_preferred().string();
    // A path too long to resolve still names the program; one that names
    // nothing does not.
    if (ec == boost::system::errc::no_such_file_or_directory)
        return {};
    return fs::absolute(name, base).lexically_normal().make_preferred().string();
}

std::string requiredModuleLocation(const char* fallbackName, const char* program)
{
    std::string location = moduleLocation(fallbackName);
    // An empty location would make the file-system root the application
    // folder.
    if (location.empty())
        throw std::runtime_error(std::string("Cannot determine where the ") + program +
                                 " is: the system does not tell, and its command line does not name it");
    return location;
}

std::string errorBoxText(const std::exception& e)
{
    return std::string("Failed to start application: ") + e.what();
}
