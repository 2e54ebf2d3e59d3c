// Change detectors for the archive: a fingerprint of what it was made from
// and a checksum of what it holds.
#include "archive_fingerprint.h"

#include "jvm_library.h"
#include "unique_handle.h"

#include <boost/filesystem.hpp>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace fs = boost::filesystem;

namespace {

struct c_file_traits {
    using handle_type = std::FILE*;
    static std::FILE* invalid() noexcept { return nullptr; }
    static void close(std::FILE* file) noexcept { std::fclose(file); }
};
using CFile = unique_handle<c_file_traits>;

std::string hexOf(std::uint64_t value)
{
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(value));
    return hex;
}

// FNV-1a, 64 bits: a change detector for the runtime and the class path.
class Fingerprint {
public:
    void add(const std::string& text)
    {
        for (unsigned char c : text)
            mix(c);
        mix(0xFF);
    }

    // The entry as the JVM itself checks an archive's class path: its size
    // and its time of last change.
    void addFile(const std::string& path)
    {
        add(path);
        boost::system::error_code ec;
        const std::time_t time = fs::last_write_time(path, ec);
        if (ec) {
            add("missing");
            return;
        }
        // A folder has no size: 0. Each call is a look-up of the whole path,
        // paid per entry at every start.
        const std::uintmax_t size = fs::file_size(path, ec);
        add(std::to_string(ec ? 0 : size) + " " + std::to_string(static_cast<long long>(time)));
    }

    std::string text() const { return hexOf(hash_); }

private:
    void mix(unsigned char byte)
    {
        hash_ ^= byte;
        hash_ *= 0x100000001b3ULL;
    }

    std::uint64_t hash_ = 0xcbf29ce484222325ULL;
};

} // namespace

std::string archiveFingerprint(const std::string& jreDirectory, const RuntimeRelease& release,
                               const std::vector<std::string>& classPathElements)
{
    Fingerprint fingerprint;
    fingerprint.addFile(javaRuntimeLibraryPath(jreDirectory));
    fingerprint.add(release.text);
    for (const std::string& element : classPathElements)
        fingerprint.addFile(element);
    return fingerprint.text();
}

// Four lanes of 64-bit words, each step a bijection of the word, so that any
// one word changed always changes the sum. It detects damage and edits;
// whoever could forge one could as well rewrite the key beside it.
std::optional<std::string> contentChecksum(const std::string& path)
{
    const CFile file(std::fopen(path.c_str(), "rb"));
    if (!file)
        return std::nullopt;
    constexpr std::uint64_t kOdd = 0x9E3779B97F4A7C15ULL;
    std::uint64_t lanes[4] = {0x243F6A8885A308D3ULL, 0x13198A2E03707344ULL, 0xA4093822299F31D0ULL,
                              0x082EFA98EC4E6C89ULL};
    std::uint64_t total = 0;
    std::vector<unsigned char> buffer(1 << 20);
    for (;;) {
        size_t got = std::fread(buffer.data(), 1, buffer.size(), file.get());
        if (got == 0) {
            if (std::ferror(file.get()) != 0)
                return std::nullopt;
            break;
        }
        total += got;
        // A short last block: zeros after it, the length tells them apart.
        while (got % 32 != 0)
            buffer[got++] = 0;
        for (size_t at = 0; at < got; at += 32)
            for (int lane = 0; lane < 4; ++lane) {
                std::uint64_t word;
                std::memcpy(&word, buffer.data() + at + 8 * lane, sizeof word);
                const std::uint64_t mixed = (lanes[lane] ^ word) * kOdd;
                lanes[lane] = (mixed << 29) | (mixed >> 35);
            }
    }
    std::uint64_t sum = total * kOdd;
    for (std::uint64_t lane : lanes) {
        sum = (sum ^ lane) * kOdd;
        sum ^= sum >> 32;
    }
    return hexOf(sum);
}
