#include "splash_application.h"

#include "screen_checks.h"

#include <algorithm>

namespace splash_test {

void splash_application::start(const std::vector<std::string>& launcher_arguments, int natives)
{
    std::string description = "class io/tarnwick/splashtest/SplashDriver\n"
                              "  static run ([Ljava/lang/String;)I returns 0 script\n";
    for (const std::string& line : script_)
        description += "    " + line + "\n";
    description += "  end\n";
    const char* const declared[] = {"showResourceSplashImpl ()V", "showPNGSplashImpl ([B)V",
                                    "setFieldImpl (IILjava/lang/String;)V",
                                    "setProgressImpl (IIIIIIILjava/lang/String;)V", "hideSplashImpl ()V"};
    if (natives > 0)
        description += "class io/tarnwick/tools/SplashScreen\n";
    for (int i = 0; i < natives && i < 5; ++i)
        description += std::string("  native ") + declared[i] + "\n";
    layout.installStandIn(description);
    run(launcher_arguments);
}

bool splash_application::reached(const std::string& name)
{
    const std::string line = "print \"checkpoint " + name + "\"";
    return eventually(
        [&] {
            const std::vector<std::string> trace = layout.trace();
            return std::find(trace.begin(), trace.end(), line) != trace.end();
        },
        std::chrono::seconds(60));
}

void splash_application::go_on(const std::string&) {}

} // namespace splash_test
