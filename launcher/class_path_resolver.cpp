#include "class_path_resolver.h"

#include "path_conventions.h"

#include <boost/filesystem.hpp>

#include <utility>

namespace fs = boost::filesystem;

namespace {

std::string canonicalText(const std::string& path)
{
    return withPreferredSeparators(fs::canonical(fs::path(path), fs::current_path()).string());
}

} // namespace

ClassPathResolver::ClassPathResolver(std::string applicationDirectory)
    : applicationDirectory_(std::move(applicationDirectory))
{
}

std::string ClassPathResolver::canonicalFolder(const std::string& folder)
{
    auto found = folders_.find(folder);
    if (found != folders_.end())
        return found->second;
    boost::system::error_code ec;
    fs::path resolved = fs::canonical(fs::path(folder), fs::current_path(), ec);
    std::string text = ec ? std::string() : withPreferredSeparators(resolved.string());
    folders_.emplace(folder, text);
    return text;
}

std::string ClassPathResolver::resolve(const std::string& entry)
{
    if (entry.empty() || entry[0] != '.')
        return entry;
    const std::string path = applicationDirectory_ + entry.substr(1);

    // canonical of folder/leaf is canonical of the folder, then the leaf, as
    // long as the leaf is there and is neither a link nor "." or "..". Where
    // names are not compared byte for byte (Windows), canonical also gives
    // each name the case it has on disk, so everything goes through it there.
    const size_t cut = path.rfind('/');
    if (!kFileNamesAreExact || cut == std::string::npos || cut == 0)
        return canonicalText(path);
    const std::string leaf = path.substr(cut + 1);
    if (leaf.empty() || leaf == "." || leaf == "..")
        return canonicalText(path);
    const std::string folder = canonicalFolder(path.substr(0, cut));
    if (folder.empty())
        return canonicalText(path); // canonical says why
    const std::string joined = folder + (folder.back() == '/' ? "" : "/") + leaf;
    boost::system::error_code ec;
    const fs::file_status status = fs::symlink_status(fs::path(joined), ec);
    if (ec || !fs::exists(status) || fs::is_symlink(status))
        return canonicalText(path);
    return joined;
}
