// Names looked up by path on Windows, where nothing is held open.
#include "folder_probe.h"

#include <boost/filesystem.hpp>

namespace fs = boost::filesystem;

// Windows holds no folder open for this: the resolver makes every entry
// canonical there, to give names the case they have on disk.
FolderProbe::FolderProbe(const std::string& folder)
    : folder_(folder)
{
}

FolderProbe::~FolderProbe() = default;

bool FolderProbe::holdsPlainEntry(const std::string& name) const
{
    boost::system::error_code ec;
    const fs::file_status status = fs::symlink_status(fs::path(folder_) / name, ec);
    return !ec && fs::exists(status) && !fs::is_symlink(status);
}
