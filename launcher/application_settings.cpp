#include "application_settings.h"

#include <boost/property_tree/json_parser.hpp>
#include <boost/property_tree/ptree.hpp>

#include <locale>

namespace pt = boost::property_tree;

namespace {

// The library names the type with typeid, which only some compilers spell
// "bool"; the message must read the same with every toolchain.
bool readBool(const pt::ptree& root, const char* key)
{
    const pt::ptree& node = root.get_child(key);
    if (boost::optional<bool> value = node.get_value_optional<bool>())
        return *value;
    throw pt::ptree_bad_data("conversion of data to type \"bool\" failed", node.data());
}

void readList(const pt::ptree& root, const char* key, std::vector<std::string>& list)
{
    for (const auto& child : root.get_child(key))
        list.push_back(child.second.data());
}

} // namespace

void readApplicationSettings(const std::string& path, ApplicationSettings& settings)
{
    pt::ptree root;
    pt::read_json(path, root, std::locale());

    settings.packageName = root.get_child("packageName").data();
    settings.mainClass = root.get_child("mainClass").data();
    settings.mainMethod = root.get_child("mainMethod").data();
    settings.appNature = root.get_child("appNature").data();
    settings.invokeUpdater = readBool(root, "invokeUpdater");
    settings.showSplash = readBool(root, "showSplash");

    settings.classPath.clear();
    settings.vmOption.clear();
    settings.programOption.clear();
    readList(root, "classPath", settings.classPath);
    readList(root, "vmOption", settings.vmOption);
    readList(root, "programOption", settings.programOption);
}
