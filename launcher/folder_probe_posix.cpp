#include "folder_probe.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Each lookup is a system call; a folder asked about more often than this is
// read once instead.
constexpr unsigned kLookupsBeforeListing = 32;

} // namespace

FolderProbe::FolderProbe(const std::string& folder)
    : descriptor_(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
{
    if (descriptor_ < 0) // a folder that may be searched but not read
        descriptor_ = ::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
}

FolderProbe::~FolderProbe()
{
    if (descriptor_ >= 0)
        ::close(descriptor_);
}

bool FolderProbe::holdsPlainEntry(const std::string& name) const
{
    if (descriptor_ < 0)
        return false;
    if (!listed_ && ++lookups_ > kLookupsBeforeListing) {
        listed_ = true;
        const int copy = ::openat(descriptor_, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (DIR* listing = copy >= 0 ? ::fdopendir(copy) : nullptr) {
            while (const dirent* entry = ::readdir(listing))
                types_.emplace(entry->d_name, entry->d_type);
            ::closedir(listing);
        } else if (copy >= 0) {
            ::close(copy);
        }
    }
    if (listed_ && !types_.empty()) {
        const auto found = types_.find(name);
        if (found == types_.end())
            return false;
        if (found->second != DT_UNKNOWN) // some file systems do not say
            return found->second != DT_LNK;
    }
    struct stat status;
    return ::fstatat(descriptor_, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0 &&
           !S_ISLNK(status.st_mode);
}
