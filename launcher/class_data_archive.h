// A class-data archive of the application (the JVM's dynamic CDS archive):
// recorded on a first start, written once the main method has returned, and
// mapped by later starts instead of loading and linking the same classes
// again. It lives in the per-user data folder, keyed by a fingerprint of the
// runtime and of the class path, so that an update, a changed jar or another
// runtime makes the next start record afresh.
#pragma once

#include "application_settings.h"

#include <jni.h>

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
// Never throws.
ClassDataArchive planClassDataArchive(const ApplicationSettings& settings, const std::string& jreDirectory,
                                      const std::string& classPath);

// After the main method has returned with exitCode: writes the archive this
// start recorded, to a file of its own that is then renamed into place. Not
// after 100 (an update follows, and the class path with it). Never throws,
// and nothing of it reaches the application's output; says what happened
// when verbose.
void writeClassDataArchive(const ClassDataArchive& plan, JNIEnv* env, int exitCode);
