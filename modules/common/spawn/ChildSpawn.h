#ifndef ZARN_MODULES_COMMON_SPAWN_CHILDSPAWN_H
#define ZARN_MODULES_COMMON_SPAWN_CHILDSPAWN_H

#include <sys/types.h>

namespace vorn {

// Starts a child process that inherits nothing it does not need: its
// standard input and output are `input` and `output` (-1 keeps the
// module's; others lie above standard error), standard error stays the
// module's, and every other descriptor is closed; it starts with no signal
// blocked and every signal at its default, whatever the module's threads
// block, ignore or handle. The program is started as execvp does: looked up
// on the command path unless it holds a '/', and an executable file that
// the system cannot start itself (no "#!" line) is run by /bin/sh with the
// arguments after the program name. `argv` ends with a null entry. Returns
// 0 and sets `child`, or the error number when the child could not be
// started (its program not found included). Any thread may call it.
int spawnChild(pid_t& child, const char* program, char* const argv[], int input, int output);

}  // namespace vorn

#endif
