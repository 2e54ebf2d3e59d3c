// The application's configuration file.
#pragma once

#include <string>
#include <vector>

struct ApplicationSettings {
    std::string packageName;
    std::string mainClass;
    std::string mainMethod;
    std::string appNature;
    bool invokeUpdater;
    bool showSplash;
    std::vector<std::string> classPath;
    std::vector<std::string> vmOption;
    std::vector<std::string> programOption;
    // Optional ("classDataArchive"): keep a class-data archive of the
    // application in the per-user data folder. Absent means false.
    bool classDataArchive = false;
};

// Reads the JSON file at path into settings. Throws the property tree's
// errors: json_parser_error, ptree_bad_path, ptree_bad_data.
void readApplicationSettings(const std::string& path, ApplicationSettings& settings);
