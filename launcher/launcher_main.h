#pragma once

// The launcher's main routine: options, configuration, and the launch of the
// application. Returns the process exit code.
int launcherMain(int argc, char** argv);
