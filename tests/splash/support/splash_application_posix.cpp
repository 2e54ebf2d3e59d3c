#include "splash_application.h"

#include "screen_checks.h"
#include "test_paths.h"

namespace fs = boost::filesystem;

namespace splash_test {

void splash_application::start(const std::vector<std::string>& launcher_arguments, int natives)
{
    if (natives == 5) {
        config.classPath = {test_paths::javaFixtures().string()};
    } else {
        // The driver alone: the class path lacks the splash class.
        const fs::path classes = layout.root() / "classes";
        const fs::path driver = fs::path("io") / "tarnwick" / "splashtest" / "SplashDriver.class";
        fs::create_directories((classes / driver).parent_path());
        fs::copy_file(test_paths::javaFixtures() / driver, classes / driver);
        config.classPath = {classes.string()};
    }
    layout.linkRealJava();
    std::vector<std::string> arguments = launcher_arguments;
    arguments.insert(arguments.end(), arguments_.begin(), arguments_.end());
    run(arguments);
}

bool splash_application::reached(const std::string& name)
{
    return eventually([&] { return fs::exists(layout.root() / (name + ".ready")); }, std::chrono::seconds(60));
}

void splash_application::go_on(const std::string& name)
{
    writeTextFile(layout.root() / (name + ".go"), "");
}

void splash_application::maps(const std::string& name)
{
    arguments_.insert(arguments_.end(), {"maps", name});
}

std::string splash_application::maps_of(const std::string& name) const
{
    return readTextFile(layout.root() / name);
}

} // namespace splash_test
