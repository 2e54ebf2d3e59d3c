// A class-data archive of the application (the JVM's dynamic CDS archive):
// recorded on a first start, written once the main method has returned, and
// mapped by later starts instead of loading and linking the same classes
// again. It lives in the per-user data folder, keyed by a fingerprint of the
// runtime and of the class path, so that an update, a changed jar or another
// runtime makes the next start record afresh. Planning it needs no JVM.
#pragma once

#include "application_settings.h"

#include <optional>
#include <string>
#include <vector>

struct ClassDataArchive {
    enum class Step { None, Use, Record };
    Step step = Step::None;
    std::string archive;     // the archive file
    std::string key;         // beside it: the fingerprint, size and time it was written for
    std::string fingerprint; // of this start's runtime and class path
    // To add to the JVM's options, before the configured ones (so that a
    // configured option of the same kind wins).
    std::vector<std::string> options;
};

// What this start does about the archive: nothing (the setting is off, or it
// is not possible: said when verbose), use a valid archive, or record one.
// classPath is the resolved entries, as the JVM is given them joined. Never
// throws.
ClassDataArchive planClassDataArchive(const ApplicationSettings& settings, const std::string& jreDirectory,
                                      const std::vector<std::string>& classPath);

// The same for a start that wants an archive and is not elevated, with
// dataFolder as the per-user data folder (none when it is not known).
ClassDataArchive planClassDataArchiveIn(const ApplicationSettings& settings, const std::string& jreDirectory,
                                        const std::vector<std::string>& classPath,
                                        const std::optional<std::string>& dataFolder);
