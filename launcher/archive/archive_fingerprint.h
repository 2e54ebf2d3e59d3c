// What an archive was written for: the runtime and the class path as the
// JVM itself checks them, and a checksum of the archive's every byte.
#pragma once

#include "runtime_release.h"

#include <optional>
#include <string>
#include <vector>

// Of the runtime's library, its release file and every class path element
// (each entry's size and time of last change), in hexadecimal. Keys already
// on users' disks hold it: its bytes must not change.
std::string archiveFingerprint(const std::string& jreDirectory, const RuntimeRelease& release,
                               const std::vector<std::string>& classPathElements);

// A checksum of the file's every byte, in hexadecimal; none when it cannot
// be read to the end.
std::optional<std::string> contentChecksum(const std::string& path);
