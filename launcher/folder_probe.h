// Looks up names in one folder without walking the folder's path again for
// each name: with ten thousand class path entries in a few folders, the walk
// is most of the cost of checking them.
#pragma once

#include <string>
#include <unordered_map>

#ifndef _WIN32
#include "os_handles.h"
#endif

class FolderProbe {
public:
    // `folder` is canonical. A folder that cannot be opened answers false to
    // every question, and the caller falls back to its slow path.
    explicit FolderProbe(const std::string& folder);
    ~FolderProbe();
    FolderProbe(const FolderProbe&) = delete;
    FolderProbe& operator=(const FolderProbe&) = delete;

    // True when `name` (one path component) exists in the folder and is not a
    // symbolic link.
    bool holdsPlainEntry(const std::string& name) const;

private:
#ifdef _WIN32
    std::string folder_;
#else
    FileDescriptor descriptor_;
    // Past a few names, one reading of the folder answers the rest.
    mutable unsigned lookups_ = 0;
    mutable bool listed_ = false;
    mutable std::unordered_map<std::string, unsigned char> types_;
#endif
};
