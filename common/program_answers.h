// What both programs do before anything else when asked: the help box (the
// option table's own text) and the version box.
#pragma once

#include "option_table.h"

#include <string>

// Shows the help box for `help`, else the version box (`versionLabel`
// followed by the build's version) for `version`; true when one was shown,
// and the program then ends with 0.
bool answerHelpOrVersion(bool help, bool version, const CommandLineTable& table, const std::string& versionLabel);
