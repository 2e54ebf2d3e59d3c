// Class path entries that begin with "." name files below the application
// folder, made canonical. With ten thousand entries, resolving each one
// component by component would cost more than the whole launch.
#pragma once

#include "folder_probe.h"

#include <memory>
#include <string>
#include <unordered_map>

class ClassPathResolver {
public:
    explicit ClassPathResolver(std::string applicationDirectory);

    // As canonical would give it, with the platform's separators: the same
    // text, and the same error for an entry that names nothing. Entries that
    // do not begin with "." are returned unchanged.
    std::string resolve(const std::string& entry);

private:
    struct Folder {
        std::string canonical; // empty when canonical fails
        std::unique_ptr<FolderProbe> probe;
    };
    const Folder& folder(const std::string& text);

    std::string applicationDirectory_;
    // Entries share few folders: each is made canonical and opened once.
    std::unordered_map<std::string, Folder> folders_;
};
