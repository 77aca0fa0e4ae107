#include "ChildSpawn.h"

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

extern char** environ;

namespace vorn {

namespace {

// The shell that runs an executable file the system cannot start itself.
const char kShell[] = "/bin/sh";
// The command path when the environment gives none, as the C library's.
const char kDefaultPath[] = "/bin:/usr/bin";
// How many descriptors the child closes one by one where the system cannot
// close a range of them.
const rlim_t kMostDescriptors = 1 << 20;

// Everything the child needs, made before the fork: between fork and exec
// the child makes async-signal-safe calls only.
struct Launch {
    std::vector<std::string> files;
    std::vector<char*> filePointers;
    char* const* argv;
    // "/bin/sh", the file the child sets, the arguments after the program
    // name, and a null entry.
    std::vector<char*> shellArgv;
    int input;
    int output;
    // The write end of the pipe that tells the parent why the start failed.
    int report;
    int openLimit;
    struct sigaction standard;
};

// The paths that a start of `program` tries, in order: `program` itself
// when it holds a '/', else the program in each folder of the command path
// (an empty entry is the working directory).
std::vector<std::string> filesToTry(const char* program) {
    if (std::strchr(program, '/') != nullptr) return {program};
    const char* path = std::getenv("PATH");
    std::string entries = path != nullptr ? path : kDefaultPath;
    std::vector<std::string> files;
    size_t begin = 0;
    for (;;) {
        size_t end = entries.find(':', begin);
        std::string folder = entries.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
        files.push_back(folder.empty() ? std::string(program) : folder + "/" + program);
        if (end == std::string::npos) return files;
        begin = end + 1;
    }
}

int openLimit() {
    rlimit limit;
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur > kMostDescriptors)
        return static_cast<int>(kMostDescriptors);
    return static_cast<int>(limit.rlim_cur);
}

// In the child: tells the parent `error` and ends.
[[noreturn]] void fail(const Launch& launch, int error) {
    while (write(launch.report, &error, sizeof error) < 0 && errno == EINTR) {
    }
    _exit(127);
}

// In the child: every signal at its default, then none blocked (the parent
// blocked them all around the fork, so no handler of the parent runs here).
void resetSignals(const Launch& launch) {
    for (int sig = 1; sig < NSIG; ++sig) sigaction(sig, &launch.standard, nullptr);
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
}

// In the child: closes every descriptor above standard error but the report.
void closeOthers(const Launch& launch) {
    const unsigned int keep = static_cast<unsigned int>(launch.report);
    bool closed = (keep == STDERR_FILENO + 1 || close_range(STDERR_FILENO + 1, keep - 1, 0) == 0) &&
                  close_range(keep + 1, ~0U, 0) == 0;
    if (closed) return;
    for (int fd = STDERR_FILENO + 1; fd < launch.openLimit; ++fd)
        if (fd != launch.report) close(fd);
}

// Errors after which the search of the command path goes on, as execvp's.
bool searchGoesOn(int error) {
    return error == ENOENT || error == EACCES || error == ESTALE || error == ENOTDIR || error == ENODEV ||
           error == ETIMEDOUT;
}

// In the child: sets up its descriptors and signals and starts the program
// as execvp does: each path in turn, and a file that is not a program the
// system knows (no "#!" line) as a script of the shell.
[[noreturn]] void runChild(Launch& launch) {
    resetSignals(launch);
    if (launch.input >= 0 && dup2(launch.input, STDIN_FILENO) < 0) fail(launch, errno);
    if (launch.output >= 0 && dup2(launch.output, STDOUT_FILENO) < 0) fail(launch, errno);
    closeOthers(launch);
    int error = ENOENT;
    bool denied = false;
    for (char* file : launch.filePointers) {
        execve(file, launch.argv, environ);
        error = errno;
        if (error == ENOEXEC) {
            launch.shellArgv[1] = file;
            execve(kShell, launch.shellArgv.data(), environ);
            fail(launch, errno);
        }
        if (!searchGoesOn(error)) fail(launch, error);
        if (error == EACCES) denied = true;
    }
    fail(launch, denied ? EACCES : error);
}

void prepare(Launch& launch, const char* program, char* const argv[], int input, int output) {
    launch.files = filesToTry(program);
    for (std::string& file : launch.files) launch.filePointers.push_back(&file[0]);
    launch.argv = argv;
    launch.shellArgv = {const_cast<char*>(kShell), nullptr};
    if (argv[0] != nullptr)
        for (size_t i = 1; argv[i] != nullptr; ++i) launch.shellArgv.push_back(argv[i]);
    launch.shellArgv.push_back(nullptr);
    launch.input = input;
    launch.output = output;
    launch.openLimit = openLimit();
    std::memset(&launch.standard, 0, sizeof launch.standard);
    launch.standard.sa_handler = SIG_DFL;
}

// A close-on-exec pipe whose write end lies above standard error, so that
// the child's moves to 0 and 1 leave it alone; false when it fails.
bool makeReportPipe(int ends[2]) {
    if (pipe2(ends, O_CLOEXEC) != 0) return false;
    if (ends[1] > STDERR_FILENO) return true;
    int moved = fcntl(ends[1], F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
    close(ends[1]);
    ends[1] = moved;
    if (moved >= 0) return true;
    close(ends[0]);
    return false;
}

// What the child reported before its exec: 0 when the exec closed the pipe.
int readReport(int fd) {
    int error = 0;
    ssize_t count;
    while ((count = read(fd, &error, sizeof error)) < 0 && errno == EINTR) {
    }
    return count == static_cast<ssize_t>(sizeof error) ? error : 0;
}

void reap(pid_t child) {
    while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
    }
}

}  // namespace

int spawnChild(pid_t& child, const char* program, char* const argv[], int input, int output) {
    if (*program == '\0') return ENOENT;
    Launch launch;
    prepare(launch, program, argv, input, output);
    int report[2];
    if (!makeReportPipe(report)) return errno;
    launch.report = report[1];
    sigset_t every, previous;
    sigfillset(&every);
    pthread_sigmask(SIG_SETMASK, &every, &previous);
    pid_t started = fork();
    if (started == 0) runChild(launch);
    int forkError = errno;
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    close(report[1]);
    if (started < 0) {
        close(report[0]);
        return forkError;
    }
    int error = readReport(report[0]);
    close(report[0]);
    if (error != 0) {
        reap(started);
        return error;
    }
    child = started;
    return 0;
}

}  // namespace vorn
