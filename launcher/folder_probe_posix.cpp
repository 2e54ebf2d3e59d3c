// Names looked up relative to one open folder, or in one reading of it.
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
    if (!descriptor_) // a folder that may be searched but not read
        descriptor_.reset(::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
}

FolderProbe::~FolderProbe() = default;

bool FolderProbe::holdsPlainEntry(const std::string& name) const
{
    if (!descriptor_)
        return false;
    if (!listed_ && ++lookups_ > kLookupsBeforeListing) {
        listed_ = true;
        FileDescriptor copy(::openat(descriptor_.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        const DirectoryListing listing(copy ? ::fdopendir(copy.get()) : nullptr);
        if (listing) {
            static_cast<void>(copy.release()); // the listing closes it
            while (const dirent* entry = ::readdir(listing.get()))
                types_.emplace(entry->d_name, entry->d_type);
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
    return ::fstatat(descriptor_.get(), name.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0 &&
           !S_ISLNK(status.st_mode);
}
