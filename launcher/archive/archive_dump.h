// Writes the archive that a start recorded, through the JVM it recorded in,
// once the application's main method has returned.
#pragma once

#include "archive_plan.h"

#include <jni.h>

// After the main method has returned with exitCode: writes the archive this
// start recorded, to a file of its own that is then renamed into place. Not
// after kUpdateRequestedExitCode (an update follows, and the class path with
// it). Never throws, and nothing of it reaches the application's output;
// says what happened when verbose.
void writeClassDataArchive(const ClassDataArchive& plan, JNIEnv* env, int exitCode);
