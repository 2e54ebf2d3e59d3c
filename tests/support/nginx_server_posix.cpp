#include "nginx_server.h"

#include "process_runner.h"
#include "test_paths.h"
#include "test_text.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace fs = boost::filesystem;

namespace {

// nginx ends by itself after this long even if the test that started it
// dies without stopping it.
constexpr int kServerLifetimeSeconds = 1800;
constexpr const char* kTrustStorePassword = "changeit";

void runOrThrow(const std::string& program, const std::vector<std::string>& arguments)
{
    RunOptions options;
    options.timeoutMs = 60000;
    RunResult result = runProgram(program, arguments, options);
    if (result.exitCode != 0 || result.timedOut)
        throw std::runtime_error(program + " failed: " + describe(result));
}

long long nowMs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1000LL + ts.tv_nsec / 1000000;
}

// A port the kernel had free a moment ago; nginx may still lose it to
// someone else, so the caller tries again when nginx does not come up.
int freeLoopbackPort()
{
    int s = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (s < 0 || bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        if (s >= 0)
            close(s);
        throw std::runtime_error(std::string("no free loopback port: ") + std::strerror(errno));
    }
    close(s);
    return ntohs(address.sin_port);
}

bool accepts(int port)
{
    int s = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    bool ok = s >= 0 && connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    if (s >= 0)
        close(s);
    return ok;
}

std::string configuration(const fs::path& state, const fs::path& root, int port, const TestCertificates* tls)
{
    const std::string dir = state.string();
    std::ostringstream c;
    c << "daemon off;\nmaster_process off;\nworker_processes 1;\n"
      << "error_log " << dir << "/error.log;\npid " << dir << "/nginx.pid;\n"
      << "events { worker_connections 256; }\n"
      << "http {\n"
      << "  client_body_temp_path " << dir << "/temp/body;\n"
      << "  proxy_temp_path " << dir << "/temp/proxy;\n"
      << "  fastcgi_temp_path " << dir << "/temp/fastcgi;\n"
      << "  uwsgi_temp_path " << dir << "/temp/uwsgi;\n"
      << "  scgi_temp_path " << dir << "/temp/scgi;\n"
      << "  log_format counted '$request_method $uri $status $body_bytes_sent';\n"
      << "  access_log " << dir << "/access.log counted;\n"
      << "  types { application/json json; }\n  default_type application/octet-stream;\n"
      << "  sendfile on;\n  tcp_nopush on;\n"
      << "  server {\n    listen 127.0.0.1:" << port << (tls ? " ssl" : "") << ";\n";
    if (tls)
        c << "    ssl_certificate " << tls->certificate().string() << ";\n"
          << "    ssl_certificate_key " << tls->key().string() << ";\n";
    c << "    root " << root.string() << ";\n  }\n}\n";
    return c.str();
}

} // namespace

TestCertificates::TestCertificates(const fs::path& folder)
    : authority_(folder / "ca.pem"), certificate_(folder / "server.pem"), key_(folder / "server.key"),
      trustStore_(folder / "trust.p12")
{
    if (fs::exists(trustStore_))
        return;
    fs::create_directories(folder);
    const std::string openssl = "/usr/bin/openssl";
    const std::string caKey = (folder / "ca.key").string();
    const std::string request = (folder / "server.csr").string();
    const std::string extensions = (folder / "server.ext").string();
    writeTextFile(extensions, "subjectAltName=IP:127.0.0.1,DNS:localhost\nbasicConstraints=CA:FALSE\n"
                              "extendedKeyUsage=serverAuth\n");
    runOrThrow(openssl, {"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes",
                         "-keyout", caKey, "-out", authority_.string(), "-days", "2", "-subj", "/CN=Tarnwick test CA",
                         "-addext", "basicConstraints=critical,CA:TRUE", "-addext", "keyUsage=critical,keyCertSign"});
    runOrThrow(openssl, {"req", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes", "-keyout",
                         key_.string(), "-out", request, "-subj", "/CN=127.0.0.1"});
    runOrThrow(openssl, {"x509", "-req", "-in", request, "-CA", authority_.string(), "-CAkey", caKey,
                         "-CAcreateserial", "-out", certificate_.string(), "-days", "2", "-extfile", extensions});
    const fs::path partial = folder / "trust.p12.part";
    fs::remove(partial);
    runOrThrow((test_paths::javaHome() / "bin" / "keytool").string(),
               {"-importcert", "-noprompt", "-alias", "tarnwick-test-ca", "-file", authority_.string(), "-keystore",
                partial.string(), "-storetype", "PKCS12", "-storepass", kTrustStorePassword});
    fs::rename(partial, trustStore_);
}

std::vector<std::string> TestCertificates::jvmOptions() const
{
    return {"-Djavax.net.ssl.trustStore=" + trustStore_.string(), "-Djavax.net.ssl.trustStoreType=PKCS12",
            std::string("-Djavax.net.ssl.trustStorePassword=") + kTrustStorePassword};
}

NginxServer::NginxServer(const fs::path& state, const fs::path& root, const TestCertificates* certificates)
    : state_(state), https_(certificates != nullptr)
{
    fs::create_directories(state_ / "temp");
    std::string lastError;
    for (int attempt = 0; attempt < 5; ++attempt) {
        port_ = freeLoopbackPort();
        fs::remove(state_ / "error.log");
        fs::remove(state_ / "access.log");
        const fs::path conf = state_ / "nginx.conf";
        writeTextFile(conf, configuration(state_, root, port_, certificates));

        std::vector<std::string> tokens{"/usr/bin/timeout", "--signal=TERM", "--kill-after=5",
                                        std::to_string(kServerLifetimeSeconds), "/usr/sbin/nginx", "-p",
                                        state_.string(), "-c", conf.string(), "-e", (state_ / "error.log").string()};
        std::vector<char*> argv;
        for (std::string& token : tokens)
            argv.push_back(&token[0]);
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, (state_ / "stdout.log").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
        posix_spawnattr_t attributes;
        posix_spawnattr_init(&attributes);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
        posix_spawnattr_setpgroup(&attributes, 0);
        int spawned = posix_spawn(&pid_, argv[0], &actions, &attributes, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attributes);
        if (spawned != 0)
            throw std::runtime_error(std::string("cannot start nginx: ") + std::strerror(spawned));

        const long long deadline = nowMs() + 15000;
        bool exited = false;
        while (nowMs() < deadline) {
            int status = 0;
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                exited = true;
                break;
            }
            if (accepts(port_))
                return;
            usleep(20000);
        }
        if (!exited)
            stop();
        pid_ = -1;
        lastError = readTextFile(state_ / "error.log") + readTextFile(state_ / "stdout.log");
    }
    throw std::runtime_error("nginx did not come up on a loopback port: " + lastError);
}

NginxServer::~NginxServer()
{
    stop();
}

void NginxServer::stop()
{
    if (pid_ <= 0)
        return;
    kill(-pid_, SIGTERM);
    const long long deadline = nowMs() + 10000;
    int status = 0;
    while (waitpid(pid_, &status, WNOHANG) == 0) {
        if (nowMs() > deadline) {
            kill(-pid_, SIGKILL);
            waitpid(pid_, &status, 0);
            break;
        }
        usleep(10000);
    }
    pid_ = -1;
}

std::string NginxServer::url() const
{
    return std::string(https_ ? "https" : "http") + "://127.0.0.1:" + std::to_string(port_) + "/";
}

std::vector<std::string> NginxServer::requests() const
{
    if (!fs::exists(state_ / "access.log"))
        return {};
    return readLines(state_ / "access.log");
}

std::uint64_t NginxServer::bodyBytesSent() const
{
    std::uint64_t total = 0;
    for (const std::string& line : requests()) {
        size_t last = line.rfind(' ');
        if (last != std::string::npos)
            total += std::stoull(line.substr(last + 1));
    }
    return total;
}
