// One application with a feed of its own, as a shipper and a user have it:
// keys made by keygen, releases laid out as `cmake --install` lays them out
// and published with `tarnwick-update.jar publish` into a feed that nginx
// serves on a loopback port, application folders with the machine's JDK as
// their runtime, and a per-user data folder of their own.
#pragma once

#include "nginx_server.h"
#include "process_runner.h"
#include "release_check.h"

#include <boost/filesystem.hpp>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace update_test {

// java -jar tarnwick-update.jar ARGS...
RunResult updateTool(const std::vector<std::string>& arguments);
// Signs any manifest text with a key pair (tests/update/process/java/forge).
RunResult forgeRelease(const boost::filesystem::path& privateKey, const boost::filesystem::path& publicKey,
                       const boost::filesystem::path& manifest, const boost::filesystem::path& envelope);

struct KeyPair {
    boost::filesystem::path privateKey, publicKey;
    std::string publicLine;
};
KeyPair makeKeyPair(const boost::filesystem::path& folder);

// Files of a release beyond the programs, jars and configuration.
using Payload = std::map<std::string, std::string>;

class Product {
public:
    enum class Transport { http, https };
    Product(const std::string& name, Transport transport = Transport::http);

    const boost::filesystem::path& folder() const { return folder_; }
    const boost::filesystem::path& feed() const { return feed_; }
    const boost::filesystem::path& data() const { return data_; } // XDG_DATA_HOME
    boost::filesystem::path staging() const { return data_ / packageName; }
    const KeyPair& keys() const { return keys_; }
    NginxServer& server() { return *server_; }
    std::string feedUrl() const { return server_->url(); }

    // The application folder of a release, before publishing: launcher,
    // updater, their jars, lib/version.txt, cfg/, and the payload.
    boost::filesystem::path releaseFolder(const std::string& version, const Payload& payload,
                                          const std::string& updateJson = "") const;
    std::string updateJson(const std::string& feed) const;
    // publish; the test fails when it does not succeed.
    void publish(const boost::filesystem::path& release, const std::string& version,
                 const std::vector<std::string>& more = {}) const;
    Manifest manifest(const std::string& version) const;
    // A copy of a published release folder as the user has it: with the
    // runtime (a link to the machine's JDK).
    boost::filesystem::path install(const boost::filesystem::path& release, const std::string& name) const;

    // The environment of every program the user starts: the data folder,
    // the JVM options of the updater's JVM (it is given only its class path);
    // NAME=VALUE entries of `extraEnvironment` added or replaced.
    RunOptions userEnvironment(const std::vector<std::string>& extraJvmOptions = {},
                               const std::vector<std::string>& extraEnvironment = {}) const;
    RunResult startLauncher(const boost::filesystem::path& appDir, const std::vector<std::string>& extraEnvironment = {},
                            const std::vector<std::string>& extraJvmOptions = {}) const;
    RunResult runUpdater(const boost::filesystem::path& appDir, const std::vector<std::string>& jvmOptions,
                         const std::vector<std::string>& extraEnvironment = {}) const;

    const std::string packageName = "probeapp";

private:
    boost::filesystem::path folder_, feed_, data_;
    Transport transport_;
    KeyPair keys_;
    std::unique_ptr<TestCertificates> certificates_;
    std::unique_ptr<NginxServer> server_;
};

// What the probe application says it is, from its last "[probe] version" line.
std::string versionRun(const RunResult& result);
// Copies a folder as it is (links stay links, modes kept).
void copyFolder(const boost::filesystem::path& from, const boost::filesystem::path& to);

} // namespace update_test
