#include "formulaSplitter.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "TextNumbers.h"

extern char** environ;

// The text of formulaSplitter.pl, built into the library.
extern const char formulaSplitterProgram[];

namespace formulaSplitter {
namespace {

// The kernel's limit on one program argument, less its NUL.
constexpr size_t kMaxDefinitionLength = 32 * 4096 - 1;

std::string tooLong(size_t length) {
    return "Definition too long for the formula splitter (" + vorn::toText(static_cast<unsigned long>(length)) +
           " characters); formula left empty.";
}

// Moves `fd` above the standard descriptors, so that the child's dup2 onto
// descriptor 1 always makes a fresh descriptor without close-on-exec.
bool keepAboveStandard(int& fd) {
    if (fd > STDERR_FILENO) return true;
    int moved = fcntl(fd, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
    close(fd);
    fd = moved;
    return moved >= 0;
}

bool openPipe(int fds[2], std::string& problem) {
    if (pipe2(fds, O_CLOEXEC) == 0) {
        if (keepAboveStandard(fds[0]) && keepAboveStandard(fds[1])) return true;
        int error = errno;
        for (int i = 0; i < 2; ++i) {
            if (fds[i] >= 0) close(fds[i]);
        }
        errno = error;
    }
    problem = std::string("Cannot open a pipe to the formula splitter: ") + std::strerror(errno);
    return false;
}

// Starts perl with the program and the definition as one argument after
// "--", so no part of a definition is ever read as an option or a command.
bool start(const std::string& definition, int output, pid_t& child, std::string& problem) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, output, STDOUT_FILENO);
#if defined(__GLIBC__) && (__GLIBC__ > 2 || __GLIBC_MINOR__ >= 34)
    posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
#endif
    const char* arguments[] = {"perl", "-e", formulaSplitterProgram, "--", definition.c_str(), nullptr};
    int failure = posix_spawnp(&child, "perl", &actions, nullptr, const_cast<char* const*>(arguments), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failure == 0) return true;
    problem = failure == E2BIG ? tooLong(definition.size())
                               : std::string("Cannot run perl for the formula splitter: ") + std::strerror(failure);
    return false;
}

// Reads to the end, keeping at most `limit` bytes; the splitter's output is
// a few lines per field, far below the limit.
void readAll(int fd, size_t limit, std::string& output) {
    char buffer[4096];
    for (;;) {
        ssize_t got = read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return;
        size_t room = limit - output.size();
        output.append(buffer, std::min(room, static_cast<size_t>(got)));
    }
}

void reap(pid_t child) {
    int status;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
}

}  // namespace

bool run(const std::string& definition, std::string& output, std::string& problem) {
    output.clear();
    if (definition.find('\0') != std::string::npos) {
        problem = "Definition holds a NUL character; formula left empty.";
        return false;
    }
    if (definition.size() > kMaxDefinitionLength) {
        problem = tooLong(definition.size());
        return false;
    }
    int fds[2];
    if (!openPipe(fds, problem)) return false;
    pid_t child;
    bool started = start(definition, fds[1], child, problem);
    close(fds[1]);
    if (started) {
        readAll(fds[0], 65536 + 8 * definition.size(), output);
        reap(child);
    }
    close(fds[0]);
    return started;
}

}  // namespace formulaSplitter
