#include "release_check.h"

#include "test_paths.h"

#include <openssl/evp.h>

#include <boost/property_tree/json_parser.hpp>
#include <boost/property_tree/ptree.hpp>

#include <algorithm>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <stdexcept>

namespace fs = boost::filesystem;
namespace pt = boost::property_tree;

namespace {

std::string hex(const unsigned char* bytes, unsigned length)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned i = 0; i < length; ++i) {
        out += digits[bytes[i] >> 4];
        out += digits[bytes[i] & 15];
    }
    return out;
}

class Sha256 {
public:
    Sha256() : context_(EVP_MD_CTX_new(), EVP_MD_CTX_free) { EVP_DigestInit_ex(context_.get(), EVP_sha256(), nullptr); }
    void add(const void* data, size_t length) { EVP_DigestUpdate(context_.get(), data, length); }
    void add(const std::string& text) { add(text.data(), text.size() + 1); } // with its end, so parts stay apart
    std::string hexDigest()
    {
        unsigned char digest[EVP_MAX_MD_SIZE];
        unsigned length = 0;
        EVP_DigestFinal_ex(context_.get(), digest, &length);
        return hex(digest, length);
    }

private:
    std::unique_ptr<EVP_MD_CTX, void (*)(EVP_MD_CTX*)> context_;
};

void addFile(Sha256& hash, const fs::path& file)
{
    std::ifstream in(file.string().c_str(), std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + file.string());
    char buffer[1 << 16];
    while (in) {
        in.read(buffer, sizeof buffer);
        hash.add(buffer, static_cast<size_t>(in.gcount()));
    }
}

std::string base64Decode(const std::string& text)
{
    std::string out(text.size() / 4 * 3 + 3, '\0');
    int length = EVP_DecodeBlock(reinterpret_cast<unsigned char*>(&out[0]),
                                 reinterpret_cast<const unsigned char*>(text.data()), static_cast<int>(text.size()));
    if (length < 0 || text.size() % 4 != 0)
        throw std::runtime_error("not base64: " + text.substr(0, 40));
    size_t padding = text.size() - text.find_last_not_of('=') - 1;
    out.resize(static_cast<size_t>(length) - padding);
    return out;
}

// Relative '/'-separated paths of the regular files and links below root.
std::map<std::string, fs::path> entries(const fs::path& root)
{
    std::map<std::string, fs::path> found;
    for (fs::recursive_directory_iterator it(root), end; it != end; ++it) {
        const fs::path relative = it->path().lexically_relative(root);
        if (fs::is_directory(it->symlink_status()))
            continue;
        found[relative.generic_string()] = it->path();
    }
    return found;
}

bool outsideOf(const std::string& path, const std::vector<std::string>& outside)
{
    for (const std::string& top : outside)
        if (path == top || path.rfind(top + "/", 0) == 0)
            return true;
    return false;
}

} // namespace

std::string signedBytes(const fs::path& envelopePath)
{
    pt::ptree envelope;
    pt::read_json(envelopePath.string(), envelope);
    return base64Decode(envelope.get<std::string>("signed"));
}

Manifest readManifest(const fs::path& envelopePath)
{
    std::istringstream bytes(signedBytes(envelopePath));
    pt::ptree tree;
    pt::read_json(bytes, tree);
    Manifest manifest;
    manifest.packageName = tree.get<std::string>("packageName");
    manifest.version = tree.get<std::string>("version");
    for (const auto& [unused, file] : tree.get_child("files")) {
        ManifestEntry entry;
        entry.path = file.get<std::string>("path");
        entry.size = file.get<std::uint64_t>("size");
        entry.sha256 = file.get<std::string>("sha256");
        entry.executable = file.get<bool>("executable", false);
        manifest.files.push_back(entry);
    }
    return manifest;
}

std::string sha256OfFile(const fs::path& file)
{
    Sha256 hash;
    addFile(hash, file);
    return hash.hexDigest();
}

std::string differencesFrom(const fs::path& appDir, const Manifest& manifest, const std::vector<std::string>& outside)
{
    std::ostringstream out;
    std::map<std::string, fs::path> present = entries(appDir);
    for (const ManifestEntry& entry : manifest.files) {
        auto it = present.find(entry.path);
        if (it == present.end()) {
            out << "missing " << entry.path << "\n";
            continue;
        }
        const fs::path& file = it->second;
        if (fs::is_symlink(file))
            out << "a link: " << entry.path << "\n";
        else if (fs::file_size(file) != entry.size || sha256OfFile(file) != entry.sha256)
            out << "not as in " << manifest.version << ": " << entry.path << "\n";
        else if (((fs::status(file).permissions() & fs::owner_exe) != 0) != entry.executable)
            out << "executable bit differs: " << entry.path << "\n";
        present.erase(it);
    }
    for (const auto& [path, unused] : present)
        if (!outsideOf(path, outside))
            out << "not in " << manifest.version << ": " << path << "\n";
    return out.str();
}

std::string folderDigest(const fs::path& folder, const std::vector<std::string>& ignored)
{
    Sha256 hash;
    std::vector<std::pair<std::string, fs::path>> all;
    for (fs::recursive_directory_iterator it(folder), end; it != end; ++it)
        all.emplace_back(it->path().lexically_relative(folder).generic_string(), it->path());
    std::sort(all.begin(), all.end());
    for (const auto& [relative, path] : all) {
        if (std::find(ignored.begin(), ignored.end(), relative) != ignored.end())
            continue;
        const fs::file_status status = fs::symlink_status(path);
        hash.add(relative);
        hash.add(std::to_string(static_cast<int>(status.type())) + " " + std::to_string(status.permissions()));
        if (fs::is_symlink(status))
            hash.add(fs::read_symlink(path).string());
        else if (fs::is_regular_file(status))
            addFile(hash, path);
    }
    return hash.hexDigest();
}
