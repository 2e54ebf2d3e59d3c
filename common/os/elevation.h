// Whether the running program holds administrator rights that were granted by
// elevation, so that what the user alone can write must not steer it.
#pragma once

// Windows: the process token is elevated. Linux: never (there is no
// elevation; the programs run with the user's rights).
bool processIsElevated();
