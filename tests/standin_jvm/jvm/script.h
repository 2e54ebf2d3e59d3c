// Runs the script of a described method on the calling thread.
#pragma once

#include "description.h"

namespace standin {

// Takes the runtime lock itself, and drops it around natives and sleeps so
// that natives can call back in and other threads can proceed.
void run_script(const Member& member);

} // namespace standin
