// The per-user updater chosen on Linux whenever it exists.
#include "updater_choice.h"

#include <boost/filesystem.hpp>

UpdaterChoice chooseUpdater(const std::string&, const std::string& userUpdater, const std::string& besideUpdater)
{
    // No signatures and no elevation: the updater runs with the user's rights.
    return {boost::filesystem::exists(userUpdater) ? userUpdater : besideUpdater, nullptr};
}
