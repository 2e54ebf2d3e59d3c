// The runtime's "release" file: which Java it is and which modules it has,
// read before the runtime is loaded.
#pragma once

#include <string>

struct RuntimeRelease {
    std::string text; // the whole file, part of the archive's fingerprint
    int feature = 0;  // 8 for "1.8.0_x", 17 for "17.0.15"; 0 when it does not say
    bool modulesKnown = false;
    std::string modules; // MODULES, with a space before and after each name
};

// JAVA_VERSION="17.0.15", MODULES="java.base …", as the JDK writes them.
RuntimeRelease parseRuntimeRelease(const std::string& text);

// The file in jreDirectory; one that is missing or unreadable tells nothing.
RuntimeRelease readRuntimeRelease(const std::string& jreDirectory);
