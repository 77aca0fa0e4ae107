#include "ChildSpawn.h"

#include <signal.h>
#include <spawn.h>
#include <unistd.h>

extern char** environ;

namespace vorn {

namespace {

// The descriptor moves and closes of the child; 0 or an error number.
int setUpDescriptors(posix_spawn_file_actions_t& actions, int input, int output) {
    int failed = 0;
    if (input >= 0) failed = posix_spawn_file_actions_adddup2(&actions, input, STDIN_FILENO);
    if (failed == 0 && output >= 0) failed = posix_spawn_file_actions_adddup2(&actions, output, STDOUT_FILENO);
    // Descriptors that other code opened without close-on-exec stay here too.
    if (failed == 0) failed = posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
    return failed;
}

// The signal state of the child; 0 or an error number.
int setUpSignals(posix_spawnattr_t& attributes) {
    sigset_t none;
    sigset_t defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    sigaddset(&defaults, SIGINT);
    sigaddset(&defaults, SIGQUIT);
    int failed = posix_spawnattr_setsigmask(&attributes, &none);
    if (failed == 0) failed = posix_spawnattr_setsigdefault(&attributes, &defaults);
    if (failed == 0) failed = posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    return failed;
}

}  // namespace

int spawnChild(pid_t& child, const char* program, char* const argv[], int input, int output) {
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    int failed = posix_spawn_file_actions_init(&actions);
    if (failed != 0) return failed;
    failed = posix_spawnattr_init(&attributes);
    if (failed != 0) {
        posix_spawn_file_actions_destroy(&actions);
        return failed;
    }
    failed = setUpDescriptors(actions, input, output);
    if (failed == 0) failed = setUpSignals(attributes);
    if (failed == 0) failed = posix_spawnp(&child, program, &actions, &attributes, argv, environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return failed;
}

}  // namespace vorn
