// The help and version boxes of both programs.
#include "program_answers.h"

#include "process.h"
#include "program_version.h"

bool answerHelpOrVersion(bool help, bool version, const CommandLineTable& table, const std::string& versionLabel)
{
    if (help)
        showInfoBox(table.helpText());
    else if (version)
        showInfoBox(versionLabel + kProgramVersion);
    return help || version;
}
