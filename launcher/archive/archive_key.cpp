// Writes and checks the archive's key, cheapest test first.
#include "archive_key.h"

#include "archive_fingerprint.h"

#include <boost/filesystem.hpp>

#include <ctime>
#include <fstream>
#include <optional>

namespace fs = boost::filesystem;

namespace {

// The key's start: the fingerprint the archive was written for, and the
// archive's own size and time then.
std::string keyStart(const std::string& fingerprint, const std::string& archive)
{
    boost::system::error_code ec;
    const std::uintmax_t size = fs::file_size(archive, ec);
    const std::time_t time = fs::last_write_time(archive, ec);
    if (ec)
        return {};
    return fingerprint + " " + std::to_string(size) + " " + std::to_string(static_cast<long long>(time)) + " ";
}

// The key as written, if it is one: a regular file, not a link, of a key's
// length at most. Whatever else stands at its name (a pipe that would block,
// a link to an endless device) is no key.
std::string readKey(const std::string& path)
{
    constexpr std::streamsize kLongestKey = 128;
    boost::system::error_code ec;
    if (fs::symlink_status(path, ec).type() != fs::regular_file)
        return {};
    std::ifstream file(path.c_str(), std::ios::binary);
    char text[kLongestKey + 1];
    file.read(text, sizeof text);
    const std::streamsize length = file.gcount();
    return length > kLongestKey ? std::string() : std::string(text, static_cast<size_t>(length));
}

} // namespace

// Its start, then the checksum, so that an archive edited in place, its time
// put back, is not trusted.
std::string archiveKeyText(const std::string& fingerprint, const std::string& archive)
{
    const std::string start = keyStart(fingerprint, archive);
    if (start.empty())
        return {};
    const std::optional<std::string> checksum = contentChecksum(archive);
    return checksum ? start + *checksum + "\n" : std::string();
}

// The size and time decide first, without reading the archive; only then its
// contents are read.
bool archiveMatchesKey(const std::string& fingerprint, const std::string& archive, const std::string& keyPath)
{
    const std::string key = readKey(keyPath);
    const std::string start = keyStart(fingerprint, archive);
    if (start.empty() || key.rfind(start, 0) != 0)
        return false;
    return key == archiveKeyText(fingerprint, archive);
}
