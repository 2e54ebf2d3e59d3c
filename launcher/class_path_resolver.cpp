// Class path entries below the application folder, made canonical.
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

const ClassPathResolver::Folder& ClassPathResolver::folder(const std::string& text)
{
    auto found = folders_.find(text);
    if (found != folders_.end())
        return found->second;
    Folder made;
    boost::system::error_code ec;
    fs::path resolved = fs::canonical(fs::path(text), fs::current_path(), ec);
    if (!ec) {
        made.canonical = withPreferredSeparators(resolved.string());
        made.probe = std::make_unique<FolderProbe>(made.canonical);
    }
    return folders_.emplace(text, std::move(made)).first->second;
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
    const Folder& parent = folder(path.substr(0, cut));
    if (parent.canonical.empty() || !parent.probe->holdsPlainEntry(leaf))
        return canonicalText(path); // canonical says why, or follows the link
    return parent.canonical + (parent.canonical.back() == '/' ? "" : "/") + leaf;
}
