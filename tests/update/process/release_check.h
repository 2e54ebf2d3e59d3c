// What an application folder holds, by content: its files hashed, held
// against a signed release's manifest, or summed up in one digest to tell
// whether anything at all changed.
#pragma once

#include <boost/filesystem.hpp>

#include <cstdint>
#include <string>
#include <vector>

struct ManifestEntry {
    std::string path;
    std::uint64_t size = 0;
    std::string sha256;
    bool executable = false;
};

struct Manifest {
    std::string packageName;
    std::string version;
    std::vector<ManifestEntry> files;
};

// The manifest inside a release envelope file (FEED/releases/<v>.json, or
// .tarnwick/installed.json): the signed bytes decoded and parsed; the
// signature is the library's business, not checked here.
Manifest readManifest(const boost::filesystem::path& envelope);
// The signed bytes of a release envelope, exactly.
std::string signedBytes(const boost::filesystem::path& envelope);

std::string sha256OfFile(const boost::filesystem::path& file);

// Empty when the folder holds exactly the manifest's files (content, size,
// executable bit) and nothing else, but for the top-level entries named in
// `outside` (the runtime link, the state folder); else what differs.
std::string differencesFrom(const boost::filesystem::path& appDir, const Manifest& manifest,
                            const std::vector<std::string>& outside = {"jre", ".tarnwick"});

// One digest of everything below the folder: every entry's path, kind,
// permissions, link target and content, minus the relative paths `ignored`.
std::string folderDigest(const boost::filesystem::path& folder, const std::vector<std::string>& ignored = {});
