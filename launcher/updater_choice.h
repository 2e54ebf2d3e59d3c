// Which updater the launcher starts: the per-user one, which an update may
// replace without administrator rights, or the one beside the launcher.
#pragma once

#include <memory>
#include <string>

struct UpdaterChoice {
    std::string path;
    // While it lives, the per-user updater that was checked cannot be
    // changed, moved or deleted (Windows), so what starts is what was checked.
    std::shared_ptr<void> hold;
};

// The per-user updater, when it exists, and (Windows) when the launcher is
// signed, only when it carries an intact signature by the launcher's own
// certificate: it is started with administrator rights from a folder that
// the user, and every program the user runs, can write. Otherwise the
// updater beside the launcher, with a verbose line that says why.
UpdaterChoice chooseUpdater(const std::string& launcherPath, const std::string& userUpdater,
                            const std::string& besideUpdater);
