#pragma once

// The updater's main routine: options, then the update run. Returns the
// process exit code: 0, 1, or 574 after a failure.
int updaterMain(int argc, char** argv);
