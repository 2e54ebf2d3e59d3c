#include "test_text.h"

std::string quotedLiteral(const std::string& text)
{
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + "\"";
}

std::string quotedList(const std::vector<std::string>& texts)
{
    std::string out = "[";
    for (size_t i = 0; i < texts.size(); ++i)
        out += (i ? ", " : "") + quotedLiteral(texts[i]);
    return out + "]";
}

std::string escapedBackslashes(const std::string& text)
{
    std::string out;
    for (char c : text)
        out += c == '\\' ? std::string("\\\\") : std::string(1, c);
    return out;
}

const char* const kLauncherHelp = "Allowed options:\n"
                                  "  --lhelp               show this message\n"
                                  "  --lversion            show launcher version\n"
                                  "  --lsplash             show splash\n"
                                  "  --lforceInstall       force installation with web updater\n"
                                  "  --lnoUpdate           run the installed version, start no update\n"
                                  "  --lconsole            show console window\n"
                                  "  --lcfgfile arg        set application configuration file\n"
                                  "  --ljrepath arg        set path to the jre\n"
                                  "  --lverbose            verbose mode\n"
                                  "  --levent arg          event that will be fired after successfull launch\n";

// The library wraps long descriptions at 80 columns and leaves the blank
// before the break.
const char* const kUpdaterHelp = "Allowed options:\n"
                                 "  --uhelp               show this message\n"
                                 "  --uversion            show updater version\n"
                                 "  --udir arg            updater directory\n"
                                 "  --uapp arg            application name\n"
                                 "  --ukeep_update arg    keep update\n"
                                 "  --usnapshot arg       path to the snapshot file\n"
                                 "  --ucaller arg         path to the caller application (i.e. C:/Program \n"
                                 "                        Files/Tarnwick Enterprise/tw_ent.exe\n"
                                 "  --uappDir arg         path to the application directory (i.e. C:/Program \n"
                                 "                        Files/Tarnwick Enterprise\n"
                                 "  --uconsole            show console window\n"
                                 "  --uwebInstall         invoke web installer\n"
                                 "  --ujrepath arg        set path to the jre\n"
                                 "  --uverbose            verbose mode\n";
