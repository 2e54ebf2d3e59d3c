// The key beside the archive: the fingerprint it was written for, the
// archive's size and time then, and a checksum of its bytes. An archive is
// mapped only when its key says it is the one this start would write.
#pragma once

#include <string>

// The key for the archive as it is now; empty when it cannot be read.
std::string archiveKeyText(const std::string& fingerprint, const std::string& archive);

// Whether the key at keyPath is the archive's for this fingerprint.
bool archiveMatchesKey(const std::string& fingerprint, const std::string& archive, const std::string& keyPath);
