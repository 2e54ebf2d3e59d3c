// nginx from the machine, serving one folder on a loopback port for the
// length of a test: over plain http, or over https with a certificate of a
// throwaway certificate authority that the test's JVMs are told to trust.
#pragma once

#include <boost/filesystem.hpp>

#include <cstdint>
#include <string>
#include <sys/types.h>
#include <vector>

// A certificate authority made with openssl for one test program, its server
// certificate for 127.0.0.1 and localhost, and a PKCS#12 trust store that
// holds only the authority, for -Djavax.net.ssl.trustStore.
class TestCertificates {
public:
    // Made once below `folder` (kept when already there).
    explicit TestCertificates(const boost::filesystem::path& folder);

    const boost::filesystem::path& authority() const { return authority_; }
    const boost::filesystem::path& certificate() const { return certificate_; }
    const boost::filesystem::path& key() const { return key_; }
    const boost::filesystem::path& trustStore() const { return trustStore_; }
    // The JVM options that make a JVM trust the authority and nothing else.
    std::vector<std::string> jvmOptions() const;

private:
    boost::filesystem::path authority_, certificate_, key_, trustStore_;
};

class NginxServer {
public:
    // Serves `root` from a private folder `state` (configuration, logs);
    // with `certificates`, over https. Throws when nginx does not come up.
    NginxServer(const boost::filesystem::path& state, const boost::filesystem::path& root,
                const TestCertificates* certificates = nullptr);
    ~NginxServer(); // stops the server, always
    NginxServer(const NginxServer&) = delete;
    NginxServer& operator=(const NginxServer&) = delete;

    int port() const { return port_; }
    // "http://127.0.0.1:<port>/" or "https://127.0.0.1:<port>/".
    std::string url() const;
    // Body bytes sent, summed over the access log's lines so far.
    std::uint64_t bodyBytesSent() const;
    // The access log's lines: "<method> <uri> <status> <body bytes>".
    std::vector<std::string> requests() const;

private:
    void stop();

    boost::filesystem::path state_;
    bool https_ = false;
    int port_ = 0;
    pid_t pid_ = -1;
};
