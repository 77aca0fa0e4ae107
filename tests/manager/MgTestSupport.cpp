#include "MgTestSupport.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

extern char** environ;

namespace mgtest {

namespace {

void fail(const std::string& what) { throw std::runtime_error(what + ": " + std::strerror(errno)); }

bool isSanitizerSetting(const char* entry) {
    return std::strncmp(entry, "ASAN_", 5) == 0 || std::strncmp(entry, "UBSAN_", 6) == 0 ||
           std::strncmp(entry, "LSAN_", 5) == 0;
}

}  // namespace

void makeDir(const std::string& path) {
    if (mkdir(path.c_str(), 0755) != 0) fail("mkdir " + path);
}

void makeLink(const std::string& target, const std::string& link) {
    if (symlink(target.c_str(), link.c_str()) != 0) fail("symlink " + link);
}

ChildResult runChild(const std::string& program, const std::vector<std::string>& args,
                     const std::vector<std::string>& env, const std::string& workDir) {
    std::vector<std::string> environment = env;
    for (char** entry = environ; *entry != nullptr; ++entry)
        if (isSanitizerSetting(*entry)) environment.push_back(*entry);
    std::vector<char*> argv, envp;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    for (const std::string& entry : environment) envp.push_back(const_cast<char*>(entry.c_str()));
    envp.push_back(nullptr);

    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) fail("pipe");
    pid_t child = fork();
    if (child < 0) fail("fork");
    if (child == 0) {
        int devNull = open("/dev/null", O_RDONLY);
        if (devNull < 0 || dup2(devNull, 0) < 0 || dup2(pipeFds[1], 1) < 0 || chdir(workDir.c_str()) != 0) _exit(126);
        execve(program.c_str(), argv.data(), envp.data());
        _exit(127);
    }
    close(pipeFds[1]);
    ChildResult result = {-1, std::string()};
    char buffer[4096];
    for (;;) {
        ssize_t got = read(pipeFds[0], buffer, sizeof buffer);
        if (got > 0) {
            result.output.append(buffer, static_cast<size_t>(got));
        } else if (got == 0 || errno != EINTR) {
            break;
        }
    }
    close(pipeFds[0]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status)) result.exitStatus = WEXITSTATUS(status);
    return result;
}

}  // namespace mgtest
