// The launcher's option rows and their record.
#include "launcher_options.h"

const CommandLineTable& launcherOptionTable()
{
    static const CommandLineTable table = [] {
        CommandLineTable rows;
        rows.flag("lhelp", "show this message")
            .flag("lversion", "show launcher version")
            .flag("lsplash", "show splash")
            .flag("lforceInstall", "force installation with web updater")
            .flag("lnoUpdate", "run the installed version, start no update")
            .flag("lconsole", "show console window")
            .text("lcfgfile", "set application configuration file")
            .text("ljrepath", "set path to the jre")
            .flag("lverbose", "verbose mode")
            .text("levent", "event that will be fired after successfull launch");
        return rows;
    }();
    return table;
}

LauncherOptions launcherOptionsFrom(const ParsedCommandLine& parsed)
{
    LauncherOptions options;
    options.help = parsed.has("lhelp");
    options.version = parsed.has("lversion");
    options.splash = parsed.has("lsplash");
    options.forceInstall = parsed.has("lforceInstall");
    options.noUpdate = parsed.has("lnoUpdate");
    options.console = parsed.has("lconsole");
    options.verbose = parsed.has("lverbose");
    options.configFile = parsed.text("lcfgfile");
    options.jrePath = parsed.text("ljrepath");
    options.event = parsed.text("levent");
    options.passThrough = parsed.unknownTokens();
    return options;
}

LauncherOptions parseLauncherOptions(const std::vector<std::string>& arguments)
{
    return launcherOptionsFrom(launcherOptionTable().parse(arguments));
}
